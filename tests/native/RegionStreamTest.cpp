// The stored window outline is checked before the platform builds a region from it.
#include "shell/RegionStream.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// A stream of `rects` with the given bounding box; `count` overrides the stored byte count.
std::vector<std::uint8_t> Stream(const std::vector<RegionRect>& rects, RegionRect bound,
                                 long count = -1) {
    std::vector<std::uint8_t> data;
    PutU32(data, 32);
    PutU32(data, 1);
    PutU32(data, static_cast<std::uint32_t>(rects.size()));
    PutU32(data, static_cast<std::uint32_t>(rects.size() * 16));
    for (std::int32_t v : {bound.left, bound.top, bound.right, bound.bottom})
        PutU32(data, static_cast<std::uint32_t>(v));
    for (const auto& r : rects)
        for (std::int32_t v : {r.left, r.top, r.right, r.bottom})
            PutU32(data, static_cast<std::uint32_t>(v));
    std::vector<std::uint8_t> stream;
    PutU32(stream,
           count < 0 ? static_cast<std::uint32_t>(data.size()) : static_cast<std::uint32_t>(count));
    stream.insert(stream.end(), data.begin(), data.end());
    return stream;
}

} // namespace

TEST(RegionStream, WellFormedStreamRoundTrips) {
    auto s = Stream({{3, 1, 10, 5}, {1, 5, 12, 9}}, {1, 1, 12, 9});
    auto data = RegionDataFromStream(s.data(), s.size());
    ASSERT_TRUE(data.has_value());
    EXPECT_EQ(32u + 32u, data->size());
    auto rects = RegionRects(*data);
    ASSERT_EQ(2u, rects.size());
    EXPECT_EQ(12, rects[1].right);
    EXPECT_EQ(s, RegionStreamFromData(*data));
}

TEST(RegionStream, NoRegionAndMalformedStreamsGiveNothing) {
    std::vector<std::uint8_t> zero = {0, 0, 0, 0};
    EXPECT_FALSE(RegionDataFromStream(zero.data(), zero.size()));
    EXPECT_FALSE(RegionDataFromStream(zero.data(), 2));
    EXPECT_EQ(zero, RegionStreamFromData({}));

    auto good = Stream({{1, 1, 5, 5}}, {1, 1, 5, 5});
    // A count larger than what follows.
    auto longCount = Stream({{1, 1, 5, 5}}, {1, 1, 5, 5}, 4096);
    EXPECT_FALSE(RegionDataFromStream(longCount.data(), longCount.size()));
    // Cut short.
    EXPECT_FALSE(RegionDataFromStream(good.data(), good.size() - 1));
    // More rectangles announced than stored.
    auto lying = good;
    lying[4 + 8] = 200;
    EXPECT_FALSE(RegionDataFromStream(lying.data(), lying.size()));
    // A wrong header size or type.
    auto badHeader = good;
    badHeader[4] = 40;
    EXPECT_FALSE(RegionDataFromStream(badHeader.data(), badHeader.size()));
    // Empty or out-of-bounds rectangles.
    auto empty = Stream({{5, 1, 5, 5}}, {1, 1, 5, 5});
    EXPECT_FALSE(RegionDataFromStream(empty.data(), empty.size()));
    auto outside = Stream({{0, 1, 5, 5}}, {1, 1, 5, 5});
    EXPECT_FALSE(RegionDataFromStream(outside.data(), outside.size()));
}

#ifdef PAKICO_ART_DIR
TEST(RegionStream, TheCatOutlineIsWellFormed) {
    std::ifstream in(std::string(PAKICO_ART_DIR) + "/CatOutline.bin", std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
    auto data = RegionDataFromStream(bytes.data(), bytes.size());
    ASSERT_TRUE(data.has_value());
    EXPECT_GT(RegionRects(*data).size(), 10u);
}
#endif

TEST(RegionStream, ScalingMultipliesTheBoundAndEveryRectangle) {
    const auto stream = Stream({{1, 1, 5, 2}, {2, 2, 4, 3}}, {1, 1, 5, 3});
    const auto data = RegionDataFromStream(stream.data(), stream.size());
    ASSERT_TRUE(data.has_value());
    const auto doubled = ScaleRegionData(*data, 2);
    const auto expected = Stream({{2, 2, 10, 4}, {4, 4, 8, 6}}, {2, 2, 10, 6});
    EXPECT_EQ(std::vector<std::uint8_t>(expected.begin() + 4, expected.end()), doubled);
    // Once is the bytes as they are: the 96-dpi outline is the stored one.
    EXPECT_EQ(*data, ScaleRegionData(*data, 1));
    EXPECT_EQ(*data, ScaleRegionData(*data, 0));
    // The scaled region is well formed again.
    auto restream = RegionStreamFromData(doubled);
    EXPECT_TRUE(RegionDataFromStream(restream.data(), restream.size()).has_value());
}

TEST(RegionStream, ScalingFarOffCoordinatesStopsAtTheEndsOfTheRange) {
    const auto stream = Stream({{-2000000000, 0, 2000000000, 1}}, {-2000000000, 0, 2000000000, 1});
    const auto data = RegionDataFromStream(stream.data(), stream.size());
    ASSERT_TRUE(data.has_value());
    const auto rects = RegionRects(ScaleRegionData(*data, 2));
    ASSERT_EQ(1u, rects.size());
    EXPECT_EQ(INT32_MIN, rects[0].left);
    EXPECT_EQ(INT32_MAX, rects[0].right);
    EXPECT_EQ(2, rects[0].bottom);
    EXPECT_TRUE(ScaleRegionData({}, 2).empty());
}
