// The listings of an automatic import, compared by hashed, case-folded keys.
#include "watch/ImportListing.h"

#include "util/Mbcs.h"

namespace watch {

namespace {

// Every listing is of the one watched folder: a file is told by its name, which is short
// enough to be kept without a heap block of its own.
std::string KeyOf(const std::string& path) {
    const std::size_t separator = mbcs::LastDelimiter(path, "\\");
    return mbcs::FileNameUpper(separator == std::string::npos
                                   ? std::string_view(path)
                                   : std::string_view(path).substr(separator + 1));
}

std::unordered_set<std::string> KeysOf(const std::vector<std::string>& listing) {
    std::unordered_set<std::string> keys;
    keys.reserve(listing.size());
    for (const std::string& path : listing)
        keys.insert(KeyOf(path));
    return keys;
}

} // namespace

TImportListing::TImportListing(std::vector<std::string> listing)
    : initialCount_(listing.size()), current_(std::move(listing)), currentKeys_(KeysOf(current_)) {}

void TImportListing::Update(std::vector<std::string> listing) {
    std::unordered_set<std::string> keys;
    keys.reserve(listing.size());
    for (const std::string& path : listing) {
        std::string key = KeyOf(path);
        if (!currentKeys_.count(key) && collectedKeys_.insert(key).second)
            collected_.push_back(path);
        keys.insert(std::move(key));
    }
    current_ = std::move(listing);
    currentKeys_ = std::move(keys);
}

void TImportListing::Finish() {
    if (collected_.size() + initialCount_ >= current_.size())
        return;
    for (const std::string& path : current_)
        if (collectedKeys_.insert(KeyOf(path)).second)
            collected_.push_back(path);
}

} // namespace watch
