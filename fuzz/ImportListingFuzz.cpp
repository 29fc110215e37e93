// Fuzz target: the listings of a watched folder. The input is a flag byte (bit 0: which
// spelling of the folder, bit 1: watching ends), then the listings, split at NULs, of file
// names, one a line: the first is the folder at the start, each other one a later look. Every
// name is also folded to upper case on its own and checked against the code points folded.
#include "util/Mbcs.h"
#include "watch/ImportListing.h"
#include "Cp932Text.h"
#include "FuzzCheck.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace {

using Paths = std::vector<std::string>;

// The lower-case double-byte letters the file system folds, and their capitals: full-width
// Latin, Greek, and Cyrillic (whose lower case skips 0x847F).
struct FoldedRun {
    unsigned first, last, capital;
};
constexpr FoldedRun kFoldedRuns[] = {{0x8281, 0x829A, 0x8260},
                                     {0x83BF, 0x83D6, 0x839F},
                                     {0x8470, 0x847E, 0x8440},
                                     {0x8480, 0x8491, 0x844F}};

std::string ReferenceUpper(std::string_view s) {
    std::string out;
    for (std::string_view c : Characters(s)) {
        if (c.size() == 1) {
            out += c[0] >= 'a' && c[0] <= 'z' ? static_cast<char>(c[0] - 'a' + 'A') : c[0];
            continue;
        }
        unsigned code = static_cast<unsigned char>(c[0]) << 8 | static_cast<unsigned char>(c[1]);
        for (const FoldedRun& run : kFoldedRuns)
            if (code >= run.first && code <= run.last)
                code = code - run.first + run.capital;
        out += static_cast<char>(code >> 8);
        out += static_cast<char>(code & 0xFF);
    }
    return out;
}

void CheckUpper(std::string_view s) {
    std::string upper = mbcs::FileNameUpper(s);
    Check(upper.size() == s.size());
    Check(upper == ReferenceUpper(s));
    Check(mbcs::FileNameUpper(upper) == upper);
}

// Comparing names one by one, as a look-up in a plain list does.
bool Contains(const Paths& list, const std::string& path) {
    return std::any_of(list.begin(), list.end(), [&](const std::string& other) {
        return mbcs::FileNameUpper(other) == mbcs::FileNameUpper(path);
    });
}

// A listing as the file system gives it: names without a separator, each once.
Paths Listing(std::string_view text, std::string_view folder) {
    Paths paths;
    for (std::string_view name : Pieces(text, '\n')) {
        std::vector<std::string_view> chars = Characters(name);
        if (name.empty() || std::find(chars.begin(), chars.end(), "\\") != chars.end())
            continue;
        std::string path = std::string(folder) + '\\' + std::string(name);
        if (!Contains(paths, path))
            paths.push_back(path);
    }
    return paths;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::uint8_t flags = data[0];
    std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);
    std::vector<std::string_view> looks = Pieces(input, '\0');
    for (std::string_view look : looks)
        for (std::string_view name : Pieces(look, '\n'))
            CheckUpper(name);

    // 表 (95 5C) ends the second folder in a byte equal to the separator.
    const std::string_view folder = flags & 1 ? "C:\\w\\\x95\x5C" : "c:\\W";
    auto listed = [](const Paths& paths) {
        return std::vector<watch::TListedFile>(paths.begin(), paths.end());
    };
    Paths previous = Listing(looks[0], folder);
    watch::TImportListing listing(listed(previous));
    Check(listing.InitialCount() == previous.size());
    Paths expected;
    for (std::size_t k = 1; k < looks.size(); ++k) {
        Paths current = Listing(looks[k], folder);
        for (const std::string& path : current)
            if (!Contains(previous, path) && !Contains(expected, path))
                expected.push_back(path);
        listing.Update(listed(current));
        Check(listing.Collected() == listed(expected));
        Check(listing.Current() == listed(current));
        previous = current;
    }
    if (flags & 2) {
        // Files went uncounted when the folder gained more than was collected.
        if (expected.size() + listing.InitialCount() < previous.size())
            for (const std::string& path : previous)
                if (!Contains(expected, path))
                    expected.push_back(path);
        listing.Finish();
        Check(listing.Collected() == listed(expected));
    }
    return 0;
}
