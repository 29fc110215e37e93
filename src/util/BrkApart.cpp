// Splitting at a separator and joining back, double-byte aware.
#include "util/BrkApart.h"

#include "util/Mbcs.h"

namespace {

// Index of the first occurrence of `separator` at or after `from` that starts on a character
// of `text`, or npos.
std::size_t FindSeparator(std::string_view text, std::size_t from, std::string_view separator) {
    for (std::size_t i = from; i < text.size(); i = mbcs::NextChar(text, i))
        if (text.substr(i, separator.size()) == separator)
            return i;
    return std::string_view::npos;
}

} // namespace

std::string TBrkApart::BaseString() const {
    if (stringList_.empty())
        return {};
    std::string out = stringList_.front();
    for (std::size_t i = 1; i < stringList_.size(); ++i) {
        if (stringList_[i].empty() && !allowEmptyString_)
            continue;
        out += breakString_;
        out += stringList_[i];
    }
    return out;
}

void TBrkApart::SetBaseString(std::string_view text) {
    stringList_.clear();
    // An empty separator is never found: the whole text is the one part.
    std::size_t start = 0;
    for (;;) {
        std::size_t found = breakString_.empty() ? std::string_view::npos
                                                 : FindSeparator(text, start, breakString_);
        std::string_view part = text.substr(
            start, found == std::string_view::npos ? std::string_view::npos : found - start);
        if (!part.empty() || allowEmptyString_)
            stringList_.emplace_back(part);
        if (found == std::string_view::npos)
            return;
        start = found + breakString_.size();
    }
}
