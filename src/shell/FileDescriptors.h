// Files a drag offers that exist only inside its source (a mail program's attachments, the
// files of a compressed folder): the file group descriptor that lists them, and the rules that
// turn its names into names of files inside one folder of the program's own. No Win32 calls:
// the Win32 side hands in the locked memory with its size and a code-page-to-wide converter.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vfiles {

// A drag of more items than this is not written at all: no person drops ten thousand mail
// attachments, and a source that claims more may be out to fill the disk.
inline constexpr std::size_t kMostItems = 10000;

// The two descriptor records: flags, class, icon size and point, attributes, three times, the
// size, then a name of 260 wide characters or 260 code-page bytes.
inline constexpr std::size_t kWideRecordSize = 592;
inline constexpr std::size_t kAnsiRecordSize = 332;

// A time as the platform keeps it: 100-nanosecond steps since 1601, in two halves.
struct FileTime {
    std::uint32_t low = 0;
    std::uint32_t high = 0;
    bool operator==(const FileTime&) const = default;
};

struct DescribedItem {
    // As the descriptor gives it: a relative path, or whatever the source put there.
    std::u16string name;
    bool folder = false;
    std::optional<std::uint64_t> size;
    std::optional<FileTime> created, accessed, written;
};

enum class GroupVerdict {
    Items,     // the items are listed
    TooMany,   // more than kMostItems: none are listed
    Malformed, // no items, or a block too short for the count it gives
};

struct FileGroup {
    GroupVerdict verdict = GroupVerdict::Malformed;
    std::uint32_t count = 0; // as the descriptor says
    std::vector<DescribedItem> items;
};

// Converts a code-page name to UTF-16.
using AnsiToWide = std::function<std::u16string(std::string_view)>;

// The items of a file group descriptor (wide records, or code-page records converted with
// `toWide`). The block comes from another program, so nothing in it is trusted: a name ends at
// its first NUL or at the end of its record, and a block too short for the records its count
// names lists nothing.
FileGroup ParseFileGroup(const std::uint8_t* block, std::size_t size, bool wide,
                         const AnsiToWide& toWide);

// A descriptor of the items, as a drag source builds one: wide records, or code-page records
// whose names are given as bytes (each code unit of the name one byte).
std::string BuildFileGroup(const std::vector<DescribedItem>& items, bool wide = true);

// The longest name a folder entry can have.
inline constexpr std::size_t kLongestName = 255;

// The names of the folders and of the file an item's name leads to, inside the drop's folder,
// outermost first. A descriptor name is a name, never a way out: it is split at both kinds of
// slash; characters no file name may hold (control characters, < > : " | ? *) become '_', so a
// drive letter or a stream name is only a name; the trailing dots and blanks the file system
// would drop are dropped; parts left empty (".", "..", "") are left out, so nothing climbs; a
// device's name (CON, NUL, COM1, LPT1, ...) gets a '_' in front; a part longer than a folder
// entry may be is shortened, its extension kept. Never empty: a name with nothing left is "_".
std::vector<std::u16string> SafeComponents(std::u16string_view name);

// The n-th name for a second file of the same name in a folder: "memo (2).txt". A safe
// component stays safe, and within kLongestName.
std::u16string NumberedName(std::u16string_view component, unsigned n);

} // namespace vfiles
