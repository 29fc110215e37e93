// When the cat steps aside for full-screen work, against known desktops.
#include "app/FullScreenRules.h"

#include <gtest/gtest.h>

namespace {

using State = UserNotificationState;

// One 1024 x 768 monitor with a 30-pixel taskbar at the bottom.
const std::vector<MonitorArea> kOneMonitor = {{{0, 0, 1024, 768}, {0, 0, 1024, 738}, true}};
// The same on the left and a 1280 x 1024 one to its right, its top 100 pixels higher.
const std::vector<MonitorArea> kTwoMonitors = {
    {{0, 0, 1024, 768}, {0, 0, 1024, 738}, true},
    {{1024, -100, 2304, 924}, {1084, -100, 2304, 924}, false},
};
const WorkArea kCatOnFirst{400, 300, 458, 359};
const WorkArea kCatOnSecond{1500, 400, 1558, 459};

ForegroundWindow Other(WorkArea client) {
    return {true, false, false, client};
}
// Another program's window with a frame over the whole monitor around its client area.
const ForegroundWindow kFramed{true, false, false, {4, 4, 1020, 764}, false, {0, 0, 1024, 768}};
// Another program's maximised window that draws its own title bar, as browsers do: with the
// taskbar elsewhere or hiding itself its client area is the whole monitor.
const ForegroundWindow kMaximised{true, false, false, {0, 0, 1024, 768}, true, {-8, -8, 1032, 776}};
// A video player's maximised window that went full screen by taking its frame away; and a
// maximised one without a frame that leaves the taskbar shown.
const ForegroundWindow kMaximisedFrameless{
    true, false, false, {0, 0, 1024, 768}, true, {0, 0, 1024, 768}, true};
const ForegroundWindow kMaximisedFramelessWorkArea{
    true, false, false, {0, 0, 1024, 738}, true, {0, 0, 1024, 738}, true};
ForegroundWindow Own(WorkArea client) {
    return {true, true, false, client};
}
ForegroundWindow Desktop(WorkArea client) {
    return {true, false, true, client};
}
const ForegroundWindow kNone{};

} // namespace

TEST(FullScreenRules, WhatCoversTheCatsMonitor) {
    struct {
        const char* what;
        ForegroundWindow foreground;
        bool aside;
    } rows[] = {
        {"borderless window of another program over the monitor", Other({0, 0, 1024, 768}), true},
        {"a client area larger than the monitor", Other({-8, -8, 1032, 776}), true},
        {"a large window short of the bottom", Other({0, 0, 1024, 700}), false},
        {"a large window short of the right", Other({0, 0, 1000, 768}), false},
        {"one pixel off to the right", Other({1, 0, 1025, 768}), false},
        {"maximised with a caption and the taskbar", Other({0, 23, 1024, 738}), false},
        {"maximised, drawing its own title bar, no taskbar", kMaximised, false},
        {"maximised without a frame, over the monitor", kMaximisedFrameless, true},
        {"maximised without a frame, over the work area", kMaximisedFramelessWorkArea, false},
        {"a frame over the monitor, the client area within it", kFramed, false},
        {"the program's own window over the monitor", Own({0, 0, 1024, 768}), false},
        {"the desktop", Desktop({0, 0, 1024, 768}), false},
        {"no window in front", kNone, false},
        {"a window not shown", {false, false, false, {0, 0, 1024, 768}}, false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.aside,
                  StepsAside(kCatOnFirst, kOneMonitor, row.foreground, State::AcceptsNotifications))
            << row.what;
        // The shell's answer, where there is none, changes nothing.
        EXPECT_EQ(row.aside, StepsAside(kCatOnFirst, kOneMonitor, row.foreground, State::Unknown))
            << row.what;
    }
}

// A full-screen program reported counts only with another program's window over the cat's
// monitor, by its whole rectangle then; presentation mode holds whatever is in front.
TEST(FullScreenRules, WhatThePlatformReports) {
    const ForegroundWindow small = Other({100, 100, 600, 500});
    struct {
        State state;
        ForegroundWindow foreground;
        bool aside;
    } rows[] = {
        {State::PresentationMode, small, true},
        {State::PresentationMode, Own({100, 100, 600, 500}), true},
        {State::PresentationMode, kNone, true},
        {State::Busy, small, false},
        {State::Busy, kNone, false},
        {State::Busy, Own({100, 100, 600, 500}), false},
        {State::Busy, kFramed, true},
        {State::Busy, kMaximised, false},
        {State::Busy, kMaximisedFrameless, true},
        {State::Direct3DFullScreen, small, false},
        {State::Direct3DFullScreen, Desktop({0, 0, 1024, 768}), false},
        {State::Direct3DFullScreen, Own({0, 0, 1024, 768}), false},
        {State::Direct3DFullScreen, kFramed, true},
        {State::NotPresent, small, false},
        {State::AcceptsNotifications, small, false},
        {State::QuietTime, small, false},
        {State::App, small, false},
        {State::Unknown, small, false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.aside, StepsAside(kCatOnFirst, kOneMonitor, row.foreground, row.state))
            << int(row.state) << " " << row.foreground.present << row.foreground.ownProcess;
}

TEST(FullScreenRules, AFullScreenWindowOnAnotherMonitorChangesNothing) {
    const ForegroundWindow overSecond = Other({1024, -100, 2304, 924});
    const ForegroundWindow overFirst = Other({0, 0, 1024, 768});
    // Over the other monitor, even when the platform reports it as a full-screen program.
    for (State state : {State::AcceptsNotifications, State::Busy, State::Direct3DFullScreen})
        EXPECT_FALSE(StepsAside(kCatOnFirst, kTwoMonitors, overSecond, state)) << int(state);
    EXPECT_TRUE(StepsAside(kCatOnSecond, kTwoMonitors, overSecond, State::Busy));
    EXPECT_TRUE(StepsAside(kCatOnSecond, kTwoMonitors, overSecond, State::AcceptsNotifications));
    EXPECT_FALSE(StepsAside(kCatOnSecond, kTwoMonitors, overFirst, State::Busy));
    // Across both monitors: it covers the cat's too.
    EXPECT_TRUE(StepsAside(kCatOnSecond, kTwoMonitors, Other({0, -100, 2304, 924}),
                           State::AcceptsNotifications));
    // A cat across the two belongs to the one it overlaps most (38 of 58 pixels on the second).
    EXPECT_TRUE(
        StepsAside({1004, 100, 1062, 159}, kTwoMonitors, overSecond, State::AcceptsNotifications));
    EXPECT_FALSE(
        StepsAside({986, 100, 1044, 159}, kTwoMonitors, overSecond, State::AcceptsNotifications));
    // Presentation mode holds for every monitor.
    EXPECT_TRUE(StepsAside(kCatOnFirst, kTwoMonitors, overSecond, State::PresentationMode));
}

TEST(FullScreenRules, TheShellsDesktopClasses) {
    EXPECT_TRUE(IsShellDesktopClass("Progman"));
    EXPECT_TRUE(IsShellDesktopClass("WorkerW"));
    EXPECT_FALSE(IsShellDesktopClass("Shell_TrayWnd"));
    EXPECT_FALSE(IsShellDesktopClass("CabinetWClass"));
    EXPECT_FALSE(IsShellDesktopClass(""));
}

TEST(FullScreenRules, TheShellNoticesThatMakeTheCatLookAgain) {
    struct {
        unsigned code;
        bool looks;
    } rows[] = {
        {2, true},       // a window destroyed
        {4, true},       // a window activated
        {0x8004, true},  // a full-screen window activated
        {16, true},      // a window moved to another monitor
        {1, false},      // a window created: it is not in front for that
        {6, false},      // a title redrawn
        {0x8006, false}, // a window flashing
        {7, false},      // a task switch under way
        {0, false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.looks, ShellNoticeMayChangeForeground(row.code)) << row.code;
}
