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
