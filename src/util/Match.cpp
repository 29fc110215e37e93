// Wildcard matching in time bounded by text length times pattern length.
#include "util/Match.h"

#include "util/BrkApart.h"
#include "util/Mbcs.h"

#include <cstdio>
#include <memory>
#include <utility>

namespace {

bool SameCharacter(std::string_view text, std::size_t t, std::size_t tEnd, std::string_view pattern,
                   std::size_t p, std::size_t pEnd) {
    return tEnd - t == pEnd - p && text.substr(t, tEnd - t) == pattern.substr(p, pEnd - p);
}

} // namespace

// Trying the rest of the pattern at every position after each '*', and backtracking into
// every earlier '*' on failure, takes time exponential in the number of stars
// ("*a*a*a*a*b" against a long run of "a"). Only the last '*' seen ever needs to be retried:
// whatever an earlier star could still absorb, the last one can absorb as well, because the
// pattern between them has already been matched as early as possible. So the walk keeps one
// restart point, and the answers are the same as with full backtracking.
bool WildcardMatch(std::string_view text, std::string_view pattern) {
    if (pattern.empty())
        return true;
    const std::size_t npos = std::string_view::npos;
    std::size_t t = 0, p = 0;
    std::size_t starP = npos; // the pattern character after the last '*' seen
    std::size_t starT = 0;    // where in the text that rest is tried next
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = ++p;
            starT = t;
            continue;
        }
        std::size_t tNext = mbcs::NextChar(text, t);
        if (p < pattern.size()) {
            std::size_t pNext = mbcs::NextChar(pattern, p);
            if (pattern[p] == '?' || SameCharacter(text, t, tNext, pattern, p, pNext)) {
                t = tNext;
                p = pNext;
                continue;
            }
        }
        if (starP == npos)
            return false;
        // The last star takes one more character of the text; the rest is tried after it.
        starT = mbcs::NextChar(text, starT);
        t = starT;
        p = starP;
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

std::string TMatch::Pattern() const {
    return pattern_.substr(1, pattern_.size() - 2);
}

void TMatch::SetPattern(std::string_view pattern) {
    std::string stored(pattern.size() + 2, '*');
    pattern.copy(stored.data() + 1, pattern.size());
    pattern_ = std::move(stored);
}

std::string TMatch::Fold(std::string_view text) const {
    return caseSensitive_ ? std::string(text) : mbcs::AsciiUpper(text);
}

// The stored pattern, folded. A pattern that ends in half a double-byte character (a lead
// byte) would take the closing '*' for its second byte and then mean "ends with"; such a
// single lead byte only ever stands at the end of a text, so "contains" is "ends with" there
// and the closing star is left off.
std::string TMatch::FoldedPattern() const {
    std::string folded = Fold(pattern_);
    std::size_t last = 1;
    for (std::size_t i = 1; i + 1 < pattern_.size(); i = mbcs::NextChar(pattern_, i))
        last = i;
    if (pattern_.size() > 2 && mbcs::NextChar(pattern_, last) == pattern_.size())
        folded.pop_back();
    return folded;
}

bool TMatch::MatchesText(std::string_view text, std::string_view foldedPattern) const {
    if (caseSensitive_)
        return WildcardMatch(text, foldedPattern);
    return WildcardMatch(mbcs::AsciiUpper(text), foldedPattern);
}

bool TMatch::Matches() const {
    if (!sourceIsFile_)
        return MatchesText(source_, FoldedPattern());
    TBrkApart names;
    names.SetBaseString(source_);
    for (const std::string& name : names.StringList())
        if (MatchesFile(name))
            return true;
    return false;
}

// Lines end at CR LF, LF or a lone CR; a last line without an end counts. Lines of any
// length are tested whole: cutting them short would miss text that lies past the cut.
bool TMatch::MatchesFile(const std::string& path) const {
    struct FileCloser {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return false;
    const std::string pattern = FoldedPattern();
    std::string line;
    bool inLine = false;  // some text, or an end, of the current line has been read
    bool afterCr = false; // the previous byte ended a line with CR
    char buffer[16384];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
        for (std::size_t i = 0; i < got; ++i) {
            char c = buffer[i];
            if (c == '\n' && afterCr) {
                afterCr = false;
                continue;
            }
            afterCr = c == '\r';
            if (c == '\r' || c == '\n') {
                if (MatchesText(line, pattern))
                    return true;
                line.clear();
                inLine = false;
                continue;
            }
            line += c;
            inLine = true;
        }
    }
    return inLine && MatchesText(line, pattern);
}
