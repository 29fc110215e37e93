// Sizes at 96, 120, 144 and 192 dpi: the cat's whole factor, lengths in proportion, and
// pictures grown pixel for pixel.
#include "util/DpiScale.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

TEST(DpiScale, TheCatGrowsByTheWholeFactorNearestToTheDensity) {
    struct {
        int dpi, factor;
    } cases[] = {{96, 1},  {72, 1},  {0, 1},   {-5, 1},  {120, 1}, {143, 1},
                 {144, 2}, {168, 2}, {192, 2}, {239, 2}, {240, 3}, {288, 3}};
    for (const auto& c : cases)
        EXPECT_EQ(c.factor, WholeScale(c.dpi)) << c.dpi << " dpi";
}

TEST(DpiScale, LengthsGrowInProportionRoundedToTheNearest) {
    struct {
        int length, dpi, scaled;
    } cases[] = {
        {16, 96, 16},  {16, 120, 20},   {16, 144, 24},   {16, 192, 32},
        {32, 144, 48}, {378, 144, 567}, {131, 144, 197}, // 196.5 rounds away from zero
        {11, 120, 14},                                   // 13.75
        {-3, 144, -5},                                   // -4.5 rounds away from zero
        {58, 0, 58},                                     // a density nobody could tell
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.scaled, ScaleForDpi(c.length, c.dpi)) << c.length << " at " << c.dpi;
}

// A size kept in 96-dpi pixels (the folder dialog's, shared with the companion) comes back
// from the monitor's pixels as it went.
TEST(DpiScale, LengthsShrinkBackTo96Dpi) {
    struct {
        int length, dpi, unscaled;
    } cases[] = {
        {582, 144, 388}, {543, 144, 362}, {776, 192, 388},
        {485, 120, 388}, {388, 96, 388},  {197, 144, 131}, // 131.33
        {3, 144, 2},                                       // 2, exactly
        {-5, 144, -3},                                     // -3.33
        {58, 0, 58},                                       // a density nobody could tell
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.unscaled, UnscaleForDpi(c.length, c.dpi)) << c.length << " at " << c.dpi;
    for (int dpi : {120, 144, 168, 192, 288})
        for (int length = 1; length < 1200; ++length)
            ASSERT_EQ(length, UnscaleForDpi(ScaleForDpi(length, dpi), dpi)) << length << " " << dpi;
}

TEST(DpiScale, AWholeFactorRepeatsEveryPixelWithoutMixing) {
    // 3 x 2 pixels, each a different colour.
    const std::vector<std::uint32_t> picture{1, 2, 3, 4, 5, 6};
    const std::vector<std::uint32_t> doubled{1, 1, 2, 2, 3, 3, //
                                             1, 1, 2, 2, 3, 3, //
                                             4, 4, 5, 5, 6, 6, //
                                             4, 4, 5, 5, 6, 6};
    EXPECT_EQ(doubled, ScaleNearest(picture, 3, 2, 6, 4));
    EXPECT_EQ(picture, ScaleNearest(picture, 3, 2, 3, 2));
    const auto tripled = ScaleNearest(picture, 3, 2, 9, 6);
    ASSERT_EQ(54u, tripled.size());
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 9; ++x)
            EXPECT_EQ(picture[static_cast<std::size_t>(y / 3 * 3 + x / 3)],
                      tripled[static_cast<std::size_t>(y * 9 + x)])
                << x << "," << y;
}

TEST(DpiScale, OneAndAHalfTimesTakesThePixelUnderEachCentre) {
    // 16 to 24 pixels, as a menu image at 144 dpi: every other pixel is shown twice.
    std::vector<std::uint32_t> row(16);
    for (std::uint32_t i = 0; i < 16; ++i)
        row[i] = i;
    const auto wide = ScaleNearest(row, 16, 1, 24, 1);
    // New pixel x has its centre at (x + 1/2) * 16 / 24 old pixels: 1/3, 1, 5/3, 7/3, ...
    const std::vector<std::uint32_t> expected{0, 1, 1, 2,  3,  3,  4,  5,  5,  6,  7,  7,
                                              8, 9, 9, 10, 11, 11, 12, 13, 13, 14, 15, 15};
    EXPECT_EQ(expected, wide);
}

TEST(DpiScale, BadSizesGiveNothing) {
    const std::vector<std::uint32_t> picture{1, 2, 3, 4};
    EXPECT_TRUE(ScaleNearest(picture, 0, 2, 4, 4).empty());
    EXPECT_TRUE(ScaleNearest(picture, 2, 2, 0, 4).empty());
    EXPECT_TRUE(ScaleNearest(picture, 2, 2, 4, -1).empty());
    EXPECT_TRUE(ScaleNearest(picture, 3, 2, 6, 4).empty()) << "fewer pixels than 3 x 2";
}
