// Double-byte-aware string helpers for code page 932 text (no Win32 calls).
// A trail byte may equal '\\' or an ASCII letter; these helpers never mistake it for one.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace mbcs {

// True for the first byte of a two-byte Shift-JIS character.
constexpr bool IsLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Index of the character that follows the one starting at i (never past the end).
inline std::size_t NextChar(std::string_view s, std::size_t i) {
    if (IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size())
        return i + 2;
    return i + 1;
}

// Position of the last single-byte character equal to one of `chars`, or npos.
std::size_t LastDelimiter(std::string_view s, std::string_view chars);

// ASCII letters folded; the bytes of double-byte characters are left as they are.
std::string AsciiLower(std::string_view s);
std::string AsciiUpper(std::string_view s);

// The key file names are told apart by: upper case as the file system folds it, for ASCII
// letters and for the double-byte Latin, Greek and Cyrillic letters. A trail byte is never
// folded on its own, so "ャ" (0x83 0x61) stays apart from "ア" (0x83 0x41).
std::string FileNameUpper(std::string_view s);

// The name part: the text after the last '\\' or ':'.
std::string ExtractFileName(std::string_view path);

// The extension: from the last '.' of the name part to the end, dot included; empty without one.
std::string ExtractFileExt(std::string_view path);

} // namespace mbcs
