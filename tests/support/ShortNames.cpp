// A short-name call for a volume without short names.
#include "support/ShortNames.h"

#include <cwchar>

namespace testing_support {

namespace {

// An existing path's "short" form there is the path itself, as the platform documents.
DWORD WINAPI LongPathAsShortPath(LPCWSTR longPath, LPWSTR shortPath, DWORD size) {
    if (GetFileAttributesW(longPath) == INVALID_FILE_ATTRIBUTES)
        return 0;
    const DWORD length = static_cast<DWORD>(std::wcslen(longPath));
    if (!shortPath || size <= length)
        return length + 1;
    std::wmemcpy(shortPath, longPath, length + 1);
    return length;
}

} // namespace

VolumeWithoutShortNames::VolumeWithoutShortNames()
    : previous_(ReplaceShortPathNameCall(LongPathAsShortPath)) {}

VolumeWithoutShortNames::~VolumeWithoutShortNames() {
    ReplaceShortPathNameCall(previous_);
}

} // namespace testing_support
