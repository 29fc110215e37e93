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

namespace {

// A 1024 x 768 primary monitor with a 30-pixel taskbar at the bottom, and a 1280 x 1024 one to
// its right, its top 100 pixels higher, with the taskbar on its left.
const std::vector<MonitorArea> kTwoMonitors = {
    {{0, 0, 1024, 768}, {0, 0, 1024, 738}, true},
    {{1024, -100, 2304, 924}, {1084, -100, 2304, 924}, false},
};

WorkArea CatAt(int left, int top, int width = 58, int height = 59) {
    return {left, top, left + width, top + height};
}

} // namespace

TEST(IconPlacement, TheSevenPlacesUseTheWorkAreaOfTheMonitorTheCatIsOn) {
    struct {
        IconPlacement placement;
        int left, top;
    } onSecond[] = {
        {IconPlacement::TopLeft, 1084, -100},
        {IconPlacement::TopCenter, 1084 + 610 - 29, -100},
        {IconPlacement::TopRight, 2304 - 58, -100},
        {IconPlacement::TopRight2, 2304 - 116, -100},
        {IconPlacement::BottomLeft, 1084, 924 - 59},
        {IconPlacement::BottomCenter, 1084 + 610 - 29, 924 - 59},
        {IconPlacement::BottomRight, 2304 - 58, 924 - 59},
    };
    for (const auto& c : onSecond) {
        auto origin = PlaceIconOn(c.placement, CatAt(1500, 400), kTwoMonitors);
        EXPECT_EQ(c.left, origin.left) << int(c.placement);
        EXPECT_EQ(c.top, origin.top) << int(c.placement);
    }
    // On the primary monitor the places are those of the one-screen desktop.
    auto br = PlaceIconOn(IconPlacement::BottomRight, CatAt(300, 300), kTwoMonitors);
    EXPECT_EQ(1024 - 58, br.left);
    EXPECT_EQ(738 - 59, br.top);
    // A cat twice the size (192 dpi) keeps to the edges as well.
    auto big = PlaceIconOn(IconPlacement::TopRight2, CatAt(1500, 400, 116, 118), kTwoMonitors);
    EXPECT_EQ(2304 - 232, big.left);
    EXPECT_EQ(-100, big.top);
}

TEST(IconPlacement, ACatAcrossTwoMonitorsBelongsToTheOneItOverlapsMost) {
    // 20 pixels on the primary monitor, 38 on the second.
    EXPECT_EQ(&kTwoMonitors[1], MonitorOf(CatAt(1004, 100), kTwoMonitors));
    // 40 on the primary, 18 on the second.
    EXPECT_EQ(&kTwoMonitors[0], MonitorOf(CatAt(984, 100), kTwoMonitors));
    // Below the primary monitor, on no monitor at all: the nearest one.
    EXPECT_EQ(&kTwoMonitors[0], MonitorOf(CatAt(500, 900), kTwoMonitors));
    EXPECT_EQ(&kTwoMonitors[1], MonitorOf(CatAt(2400, 300), kTwoMonitors));
    EXPECT_EQ(nullptr, MonitorOf(CatAt(0, 0), {}));
    auto stays = PlaceIconOn(IconPlacement::TopLeft, CatAt(7, 9), {});
    EXPECT_EQ(7, stays.left);
    EXPECT_EQ(9, stays.top);
}

TEST(IconPlacement, ASavedPlaceOnNoMonitorComesBackToThePrimaryWorkArea) {
    const std::vector<MonitorArea> taskbarOnTop = {
        {{0, 0, 1024, 768}, {0, 28, 1024, 768}, true},
    };
    struct {
        WindowOrigin saved;
        WindowOrigin shown;
        const char* why;
    } cases[] = {
        {{1, 1}, {1, 1}, "the first start's place"},
        {{1500, 400}, {0, 28}, "the second monitor was unplugged"},
        {{-400, 200}, {0, 28}, "a monitor left of the primary one was unplugged"},
        {{980, 700}, {980, 700}, "partly past the right edge, its middle still shows"},
        {{995, 100}, {0, 28}, "its middle on the first column past the right edge"},
        {{-28, -29}, {-28, -29}, "its middle at (1, 0) shows"},
        {{-30, 0}, {0, 28}, "its middle at (-1, 29) does not"},
    };
    for (const auto& c : cases) {
        auto shown = RecoverPlace(c.saved, 58, 59, taskbarOnTop);
        EXPECT_EQ(c.shown.left, shown.left) << c.why;
        EXPECT_EQ(c.shown.top, shown.top) << c.why;
    }
    // With both monitors present the place on the second one is kept.
    auto kept = RecoverPlace({1500, 400}, 58, 59, kTwoMonitors);
    EXPECT_EQ(1500, kept.left);
    EXPECT_EQ(400, kept.top);
    // The primary monitor need not be the first one listed.
    const std::vector<MonitorArea> primarySecond = {kTwoMonitors[1], kTwoMonitors[0]};
    auto back = RecoverPlace({5000, 5000}, 58, 59, primarySecond);
    EXPECT_EQ(0, back.left);
    EXPECT_EQ(0, back.top);
    // Nothing known about the monitors: the saved place as it is.
    EXPECT_EQ(5000, RecoverPlace({5000, 5000}, 58, 59, {}).left);
}
