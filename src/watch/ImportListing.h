// The listings an automatic import compares: the folder's files at the last look and at this
// one, and the files that appeared in between, in the order seen. Names are told apart as the
// file system tells them (case folded, double-byte aware), through hashed keys, so that a
// step costs time in proportion to the folder's size. All listings are of one folder.
#pragma once

#include <cstddef>
#include <string>
#include <unordered_set>
#include <vector>

namespace watch {

class TImportListing {
  public:
    // Watching starts: the folder's files now are the last look.
    explicit TImportListing(std::vector<std::string> listing);

    // The number of files when watching started.
    std::size_t InitialCount() const { return initialCount_; }

    // A change was seen and the folder listed again: each path of `listing`, in order, that
    // was neither in the last look nor collected yet is collected. `listing` is the last look
    // from now on.
    void Update(std::vector<std::string> listing);

    // Watching ends: when fewer files were collected than the folder gained, every file of
    // the last look not yet collected is collected as well.
    void Finish();

    const std::vector<std::string>& Collected() const { return collected_; }
    const std::vector<std::string>& Current() const { return current_; }

  private:
    std::size_t initialCount_ = 0;
    std::vector<std::string> current_;
    std::unordered_set<std::string> currentKeys_;
    std::vector<std::string> collected_;
    std::unordered_set<std::string> collectedKeys_;
};

} // namespace watch
