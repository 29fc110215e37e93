// Double-byte-aware string helpers for code page 932 text.
#include "util/Mbcs.h"

namespace mbcs {

std::size_t LastDelimiter(std::string_view s, std::string_view chars) {
    std::size_t found = std::string_view::npos;
    for (std::size_t i = 0; i < s.size(); i = NextChar(s, i))
        if (chars.find(s[i]) != std::string_view::npos)
            found = i;
    return found;
}

namespace {
template <typename Fold> std::string FoldAscii(std::string_view s, Fold fold) {
    std::string out(s);
    // Stepping by characters, only first bytes are seen; a lead byte is never a letter.
    for (std::size_t i = 0; i < out.size(); i = NextChar(out, i))
        out[i] = fold(out[i]);
    return out;
}
} // namespace

std::string AsciiLower(std::string_view s) {
    return FoldAscii(s, [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; });
}

std::string AsciiUpper(std::string_view s) {
    return FoldAscii(s, [](char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; });
}

namespace {
// The upper-case double-byte character for a lower-case one, or the character itself.
unsigned FoldDoubleByte(unsigned ch) {
    if (ch >= 0x8281 && ch <= 0x829A) // full-width a-z
        return ch - 0x21;
    if (ch >= 0x83BF && ch <= 0x83D6) // Greek alpha-omega
        return ch - 0x20;
    if (ch >= 0x8470 && ch <= 0x847E) // Cyrillic a-n (0x847F is no character)
        return ch - 0x30;
    if (ch >= 0x8480 && ch <= 0x8491) // Cyrillic o-ya
        return ch - 0x31;
    return ch;
}
} // namespace

std::string FileNameUpper(std::string_view s) {
    std::string out(s);
    for (std::size_t i = 0; i < out.size();) {
        const unsigned char c = static_cast<unsigned char>(out[i]);
        std::size_t next = NextChar(out, i);
        if (next == i + 2) {
            unsigned folded = FoldDoubleByte(c << 8 | static_cast<unsigned char>(out[i + 1]));
            out[i] = static_cast<char>(folded >> 8);
            out[i + 1] = static_cast<char>(folded & 0xFF);
        } else if (c >= 'a' && c <= 'z') {
            out[i] = static_cast<char>(c - 'a' + 'A');
        }
        i = next;
    }
    return out;
}

std::string ExtractFileName(std::string_view path) {
    std::size_t sep = LastDelimiter(path, "\\:");
    return std::string(sep == std::string_view::npos ? path : path.substr(sep + 1));
}

std::string ExtractFileExt(std::string_view path) {
    std::size_t dot = LastDelimiter(path, ".\\:");
    if (dot == std::string_view::npos || path[dot] != '.')
        return {};
    return std::string(path.substr(dot));
}

} // namespace mbcs
