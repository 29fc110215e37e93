// The placement commands against known work areas.
#include "app/IconPlacement.h"

#include <gtest/gtest.h>

TEST(IconPlacement, TaskbarAtTheBottom) {
    WorkArea area{0, 0, 1024, 738}; // a 30-pixel taskbar along the bottom of 1024 x 768
    auto br = PlaceIcon(IconPlacement::BottomRight, area, 58, 59);
    EXPECT_EQ(1024 - 58, br.left);
    EXPECT_EQ(738 - 59, br.top);
    auto tr2 = PlaceIcon(IconPlacement::TopRight2, area, 58, 59);
    EXPECT_EQ(1024 - 116, tr2.left);
    EXPECT_EQ(0, tr2.top);
    auto bc = PlaceIcon(IconPlacement::BottomCenter, area, 58, 59);
    EXPECT_EQ(512 - 29, bc.left);
}

TEST(IconPlacement, TaskbarOnTheLeftCentresBetweenTaskbarAndRightEdge) {
    WorkArea area{100, 0, 1024, 768};
    auto tc = PlaceIcon(IconPlacement::TopCenter, area, 58, 59);
    EXPECT_EQ(100 + 462 - 29, tc.left);
    EXPECT_EQ(0, tc.top);
    EXPECT_EQ(100, PlaceIcon(IconPlacement::TopLeft, area, 58, 59).left);
    EXPECT_EQ(100, PlaceIcon(IconPlacement::BottomLeft, area, 58, 59).left);
    EXPECT_EQ(768 - 59, PlaceIcon(IconPlacement::BottomLeft, area, 58, 59).top);
}

TEST(IconPlacement, OddSizesTruncateTowardZero) {
    WorkArea area{-101, 0, 0, 100}; // a monitor left of the primary one
    // (0 - -101) div 2 = 50; 57 div 2 = 28.
    EXPECT_EQ(-101 + 50 - 28, PlaceIcon(IconPlacement::TopCenter, area, 57, 59).left);
}
