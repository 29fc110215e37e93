// The short-name call of the program answering as Windows does on a volume that keeps no short
// (8.3) names: exFAT sticks and SD cards, ReFS, NTFS with short names turned off. Wine makes a
// short name for every file, so tests put this in place of the platform's call.
#pragma once

#include "util/CodePagePath.h"

namespace testing_support {

class VolumeWithoutShortNames {
  public:
    VolumeWithoutShortNames();
    ~VolumeWithoutShortNames();
    VolumeWithoutShortNames(const VolumeWithoutShortNames&) = delete;
    VolumeWithoutShortNames& operator=(const VolumeWithoutShortNames&) = delete;

  private:
    ShortPathNameCall previous_;
};

} // namespace testing_support
