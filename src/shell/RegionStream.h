// The stored window outline: a 4-byte byte count, then the region in the platform's RGNDATA
// layout (a 32-byte header and its rectangles). No Win32 calls: the bytes are checked here
// before the platform is asked to build a region from them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

struct RegionRect {
    std::int32_t left, top, right, bottom;
};

inline constexpr std::size_t kRegionHeaderSize = 32;

// The RGNDATA bytes of a stream, or nothing when the stream holds no region (a count of 0)
// or does not hold a well-formed one: a short stream, a header whose sizes disagree, or
// rectangles that are empty or lie outside the bounding rectangle.
std::optional<std::vector<std::uint8_t>> RegionDataFromStream(const std::uint8_t* stream,
                                                              std::size_t size);

// The rectangles of well-formed RGNDATA bytes.
std::vector<RegionRect> RegionRects(const std::vector<std::uint8_t>& regionData);

// The stream form of RGNDATA bytes (an empty vector gives a stream meaning "no region").
std::vector<std::uint8_t> RegionStreamFromData(const std::vector<std::uint8_t>& regionData);

// Well-formed RGNDATA bytes with every coordinate, the bounding rectangle's too, multiplied by
// a whole `factor`: the same outline for a picture grown pixel for pixel. A factor of 1 (or
// less) gives the bytes unchanged.
std::vector<std::uint8_t> ScaleRegionData(const std::vector<std::uint8_t>& regionData, int factor);
