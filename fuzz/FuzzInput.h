// What the fuzz targets read out of their input, and the comparison that stands in for the
// locale's.
#pragma once

#include <cstdint>
#include <string>

// A 32-bit signed number stored little-endian, as the registry keeps a DWORD.
inline int ReadInt32(const std::uint8_t* bytes) {
    return static_cast<int>(std::uint32_t(bytes[0]) | std::uint32_t(bytes[1]) << 8 |
                            std::uint32_t(bytes[2]) << 16 | std::uint32_t(bytes[3]) << 24);
}

// Stands in for the locale's comparison: ASCII letters without case, byte by byte (no copies,
// which would slow the fuzzer down).
inline int CompareAsciiIgnoringCase(const std::string& a, const std::string& b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c & 0xFF; };
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
        if (lower(a[i]) != lower(b[i]))
            return lower(a[i]) - lower(b[i]);
    return a.size() < b.size() ? -1 : a.size() > b.size();
}
