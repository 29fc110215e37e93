// Fuzz target: the stored window outline, as the registry or a file hands it back.
#include "shell/RegionStream.h"
#include "FuzzCheck.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A copy of exactly the stream's size, so that AddressSanitizer sees a read past it.
    auto* stream = static_cast<std::uint8_t*>(std::malloc(size ? size : 1));
    if (size)
        std::memcpy(stream, data, size);

    std::optional<std::vector<std::uint8_t>> region = RegionDataFromStream(stream, size);
    if (region) {
        // The region is the stream's own bytes after the count: a header and its rectangles.
        Check(region->size() + 4 <= size);
        Check(std::memcmp(region->data(), stream + 4, region->size()) == 0);
        std::vector<RegionRect> rects = RegionRects(*region);
        Check(region->size() == kRegionHeaderSize + 16 * rects.size());
        RegionRect bound; // the bounding rectangle, little-endian like this machine
        std::memcpy(&bound, region->data() + 16, sizeof bound);
        for (const RegionRect& r : rects) {
            Check(r.left < r.right && r.top < r.bottom);
            Check(bound.left <= r.left && r.right <= bound.right);
            Check(bound.top <= r.top && r.bottom <= bound.bottom);
        }
        // Written back, it reads the same.
        std::vector<std::uint8_t> again = RegionStreamFromData(*region);
        Check(RegionDataFromStream(again.data(), again.size()) == region);
    }
    // The rectangles of any bytes stay within them.
    std::vector<std::uint8_t> bytes(stream, stream + size);
    std::vector<RegionRect> any = RegionRects(bytes);
    Check(any.empty() || kRegionHeaderSize + 16 * any.size() <= size);
    std::free(stream);
    return 0;
}
