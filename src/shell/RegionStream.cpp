// Checking and packing the stored window outline.
#include "shell/RegionStream.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

std::uint32_t ReadU32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

std::int32_t ReadI32(const std::uint8_t* p) {
    return static_cast<std::int32_t>(ReadU32(p));
}

RegionRect ReadRect(const std::uint8_t* p) {
    return {ReadI32(p), ReadI32(p + 4), ReadI32(p + 8), ReadI32(p + 12)};
}

void WriteI32(std::uint8_t* p, std::int32_t value) {
    auto u = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(u >> (8 * i));
}

constexpr std::uint32_t kRectangles = 1; // RDH_RECTANGLES

} // namespace

std::optional<std::vector<std::uint8_t>> RegionDataFromStream(const std::uint8_t* stream,
                                                              std::size_t size) {
    if (size < 4)
        return std::nullopt;
    std::uint32_t count = ReadU32(stream);
    if (count == 0 || count > size - 4 || count < kRegionHeaderSize)
        return std::nullopt;
    const std::uint8_t* data = stream + 4;
    std::uint32_t headerSize = ReadU32(data);
    std::uint32_t type = ReadU32(data + 4);
    std::uint32_t rects = ReadU32(data + 8);
    std::uint32_t rectBytes = ReadU32(data + 12);
    if (headerSize != kRegionHeaderSize || type != kRectangles)
        return std::nullopt;
    if (rects > (count - kRegionHeaderSize) / 16 || rectBytes != rects * 16)
        return std::nullopt;
    RegionRect bound = ReadRect(data + 16);
    for (std::uint32_t i = 0; i < rects; ++i) {
        RegionRect r = ReadRect(data + kRegionHeaderSize + 16 * i);
        if (r.left >= r.right || r.top >= r.bottom || r.left < bound.left || r.top < bound.top ||
            r.right > bound.right || r.bottom > bound.bottom)
            return std::nullopt;
    }
    return std::vector<std::uint8_t>(data, data + kRegionHeaderSize + rectBytes);
}

std::vector<RegionRect> RegionRects(const std::vector<std::uint8_t>& regionData) {
    std::vector<RegionRect> rects;
    if (regionData.size() < kRegionHeaderSize)
        return rects;
    std::uint32_t n = ReadU32(regionData.data() + 8);
    for (std::uint32_t i = 0; i < n && kRegionHeaderSize + 16 * (i + 1) <= regionData.size(); ++i)
        rects.push_back(ReadRect(regionData.data() + kRegionHeaderSize + 16 * i));
    return rects;
}

std::vector<std::uint8_t> RegionStreamFromData(const std::vector<std::uint8_t>& regionData) {
    std::vector<std::uint8_t> stream(4 + regionData.size());
    std::uint32_t n = static_cast<std::uint32_t>(regionData.size());
    for (int i = 0; i < 4; ++i)
        stream[i] = static_cast<std::uint8_t>(n >> (8 * i));
    if (!regionData.empty())
        std::memcpy(stream.data() + 4, regionData.data(), regionData.size());
    return stream;
}

std::vector<std::uint8_t> ScaleRegionData(const std::vector<std::uint8_t>& regionData, int factor) {
    std::vector<std::uint8_t> scaled = regionData;
    if (factor <= 1 || regionData.size() < kRegionHeaderSize)
        return scaled;
    // The bounding rectangle (bytes 16 to 31 of the header), then each rectangle.
    auto scale = [&](std::size_t offset) {
        for (std::size_t i = 0; i < 4; ++i) {
            // Far-off coordinates stop at the ends of the 32-bit range instead of wrapping.
            long long value = static_cast<long long>(ReadI32(&scaled[offset + 4 * i])) * factor;
            value = std::clamp<long long>(value, INT32_MIN, INT32_MAX);
            WriteI32(&scaled[offset + 4 * i], static_cast<std::int32_t>(value));
        }
    };
    scale(16);
    std::uint32_t n = ReadU32(regionData.data() + 8);
    for (std::uint32_t i = 0; i < n && kRegionHeaderSize + 16 * (i + 1) <= scaled.size(); ++i)
        scale(kRegionHeaderSize + 16 * i);
    return scaled;
}
