// Code page 932 text as the fuzz targets' references read it, apart from the program's own
// helpers: a lead byte and the byte after it are one character, any other byte is one.
#pragma once

#include <string_view>
#include <vector>

inline bool IsCp932LeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// The characters of the text; a lead byte at the very end is a character of its own.
inline std::vector<std::string_view> Characters(std::string_view s) {
    std::vector<std::string_view> out;
    for (std::size_t i = 0; i < s.size();) {
        std::size_t n =
            IsCp932LeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1;
        out.push_back(s.substr(i, n));
        i += n;
    }
    return out;
}

// The last character is the single byte c.
inline bool EndsWithCharacter(std::string_view s, char c) {
    std::vector<std::string_view> chars = Characters(s);
    return !chars.empty() && chars.back() == std::string_view(&c, 1);
}

// The pieces between the separators, every one of them (an empty text is one empty piece).
inline std::vector<std::string_view> Pieces(std::string_view s, char separator) {
    std::vector<std::string_view> out;
    for (std::size_t at = 0;;) {
        std::size_t end = s.find(separator, at);
        out.push_back(s.substr(at, end == s.npos ? s.npos : end - at));
        if (end == s.npos)
            return out;
        at = end + 1;
    }
}
