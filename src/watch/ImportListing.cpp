// The listings of an automatic import, compared by hashed, case-folded keys.
#include "watch/ImportListing.h"

#include "util/Mbcs.h"

namespace watch {

namespace {

// Small letters as the file system compares names: those of Latin (with the accented ones of
// Latin-1 and Latin Extended-A), Greek, Cyrillic and the full-width alphabet as capitals.
char16_t Folded(char16_t c) {
    auto pairUpper = [](char16_t c, bool upperEven) {
        return static_cast<char16_t>((c % 2 == 0) == upperEven ? c : c - 1);
    };
    if ((c >= u'a' && c <= u'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7) ||
        (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) || (c >= 0x430 && c <= 0x44F) ||
        (c >= 0xFF41 && c <= 0xFF5A))
        return static_cast<char16_t>(c - 0x20);
    if (c == 0xFF)
        return 0x178;
    if (c >= 0x450 && c <= 0x45F)
        return static_cast<char16_t>(c - 0x50);
    if ((c >= 0x100 && c <= 0x12F) || (c >= 0x132 && c <= 0x137) || (c >= 0x14A && c <= 0x177))
        return pairUpper(c, true);
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E))
        return pairUpper(c, false);
    return c;
}

// Names the code page cannot write start their keys with a byte that no file name holds.
constexpr char kOwnNameKey = '\x01';

std::unordered_set<std::string> KeysOf(const std::vector<TListedFile>& listing) {
    std::unordered_set<std::string> keys;
    keys.reserve(listing.size());
    for (const TListedFile& file : listing)
        keys.insert(ListingKey(file));
    return keys;
}

} // namespace

// Every listing is of the one watched folder: a file is told by its name, which is short
// enough to be kept without a heap block of its own.
std::string ListingKey(const TListedFile& file) {
    if (file.ownName.empty()) {
        const std::size_t separator = mbcs::LastDelimiter(file.path, "\\");
        return mbcs::FileNameUpper(separator == std::string::npos
                                       ? std::string_view(file.path)
                                       : std::string_view(file.path).substr(separator + 1));
    }
    std::string key(1, kOwnNameKey);
    key.reserve(1 + 2 * file.ownName.size());
    for (char16_t c : file.ownName) {
        const char16_t folded = Folded(c);
        key += static_cast<char>(folded >> 8);
        key += static_cast<char>(folded & 0xFF);
    }
    return key;
}

TImportListing::TImportListing(std::vector<TListedFile> listing)
    : initialCount_(listing.size()), current_(std::move(listing)), currentKeys_(KeysOf(current_)) {}

void TImportListing::Update(std::vector<TListedFile> listing) {
    std::unordered_set<std::string> keys;
    keys.reserve(listing.size());
    for (const TListedFile& file : listing) {
        std::string key = ListingKey(file);
        if (!currentKeys_.count(key) && collectedKeys_.insert(key).second)
            collected_.push_back(file);
        keys.insert(std::move(key));
    }
    current_ = std::move(listing);
    currentKeys_ = std::move(keys);
}

void TImportListing::Finish() {
    if (collected_.size() + initialCount_ >= current_.size())
        return;
    for (const TListedFile& file : current_)
        if (collectedKeys_.insert(ListingKey(file)).second)
            collected_.push_back(file);
}

} // namespace watch
