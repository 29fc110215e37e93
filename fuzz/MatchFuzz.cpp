// Fuzz target: wildcard patterns and the names they are tested against. The input is a flag
// byte, then a pattern list, a NUL and the name. The list is split the way file patterns are,
// and each pattern is checked against a plain reference matcher.
#include "util/BrkApart.h"
#include "util/Match.h"
#include "Cp932Text.h"
#include "FuzzCheck.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace {

bool SameCharacter(std::string_view a, std::string_view b, bool ignoreCase) {
    auto up = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
    if (a.size() != 1 || b.size() != 1 || !ignoreCase)
        return a == b;
    return up(a[0]) == up(b[0]);
}

// Whether the characters match, by the table of which pattern rests match which text rests.
bool ReferenceMatch(const std::vector<std::string_view>& text,
                    const std::vector<std::string_view>& pattern, bool ignoreCase) {
    const std::size_t n = text.size(), m = pattern.size();
    // rest[t * (m + 1) + p]: pattern from p matches text from t.
    std::vector<char> rest((n + 1) * (m + 1), 0);
    auto at = [&](std::size_t t, std::size_t p) -> char& { return rest[t * (m + 1) + p]; };
    at(n, m) = 1;
    for (std::size_t t = n + 1; t-- > 0;)
        for (std::size_t p = m; p-- > 0;) {
            if (pattern[p] == "*")
                at(t, p) = at(t, p + 1) || (t < n && at(t + 1, p));
            else if (t < n && (pattern[p] == "?" || SameCharacter(text[t], pattern[p], ignoreCase)))
                at(t, p) = at(t + 1, p + 1);
        }
    return at(0, 0);
}

// Short enough for the reference table.
constexpr std::size_t kReferenceLimit = 48;

void CheckSplitting(std::string_view list, std::string_view separator) {
    TBrkApart parts;
    parts.SetBreakString(separator);
    parts.SetAllowEmptyString(true);
    parts.SetBaseString(list);
    Check(parts.BaseString() == list);
    // Each cut lies between two characters of the list.
    std::vector<std::size_t> starts;
    std::size_t at = 0;
    for (std::string_view c : Characters(list)) {
        starts.push_back(at);
        at += c.size();
    }
    starts.push_back(at);
    at = 0;
    for (const std::string& part : parts.StringList()) {
        at += part.size();
        Check(std::binary_search(starts.begin(), starts.end(), at));
        at += separator.size();
    }
    parts.SetAllowEmptyString(false);
    parts.SetBaseString(list);
    for (const std::string& part : parts.StringList())
        Check(!part.empty());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::uint8_t flags = data[0];
    std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);
    std::size_t nul = input.find('\0');
    std::string_view list = input.substr(0, nul);
    std::string_view name = nul == input.npos ? std::string_view() : input.substr(nul + 1);

    static constexpr std::string_view kSeparators[] = {";", "|", "\x81\x40", "ab", ""};
    CheckSplitting(list, kSeparators[flags % std::size(kSeparators)]);

    TBrkApart patterns;
    patterns.SetBaseString(list);
    const bool ignoreCase = flags & 0x80;
    for (const std::string& pattern : patterns.StringList()) {
        bool matches = WildcardMatch(name, pattern);
        TMatch contains;
        contains.SetPattern(pattern);
        contains.SetSource(name);
        contains.SetCaseSensitive(!ignoreCase);
        Check(contains.Pattern() == pattern);
        bool contained = contains.Matches();
        if (pattern.size() > kReferenceLimit || name.size() > kReferenceLimit)
            continue;
        std::vector<std::string_view> text = Characters(name);
        std::vector<std::string_view> chars = Characters(pattern);
        Check(matches == ReferenceMatch(text, chars, false));
        chars.insert(chars.begin(), "*");
        chars.push_back("*");
        Check(contained == ReferenceMatch(text, chars, ignoreCase));
    }
    return 0;
}
