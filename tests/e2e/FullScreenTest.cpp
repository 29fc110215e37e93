// The cat steps aside while another program's full-screen window is in front on its monitor,
// and comes back on top, at its place, when that window closes (also a maximised one without a
// frame); a large window that leaves part of the monitor free changes nothing.
#include "e2e/E2eSupport.h"
#include "e2e/FolderDialogDriver.h"
#include "support/ZOrder.h"

using namespace e2e;
using namespace testing_support;

namespace {

constexpr DWORD kCatLeft = 400;
constexpr DWORD kCatTop = 300;
// The refresh tick confirms the state once a second; the test sees it a moment later.
constexpr unsigned kWithinASecond = 2500;

// The top-level window a drop at a screen point goes to.
HWND TopWindowAt(POINT point) {
    HWND window = WindowFromPoint(point);
    return window ? GetAncestor(window, GA_ROOT) : nullptr;
}

bool SameRect(const RECT& a, const RECT& b) {
    return EqualRect(&a, &b) != FALSE;
}

class FullScreen : public E2eTest {
  protected:
    void SetUp() override {
        E2eTest::SetUp();
        SaveCatPlace(kCatLeft, kCatTop);
    }
};

} // namespace

TEST_F(FullScreen, TheCatStepsBehindAWindowOverItsMonitorAndComesBackWhenItCloses) {
    PakicoRun pakico;
    ASSERT_TRUE(pakico.Start());
    ASSERT_TRUE(pakico.WaitForLayer("CoolForm1", kSettleMs));
    const HWND cat = pakico.Main();
    const RECT place = pakico.Frame();
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    const std::string memo = pakico.Scratch() + "memo.txt";
    WriteFileBytes(memo, "memo");

    // The desktop covers the monitor too: a click on it brings it to the front, and over two
    // ticks the cat stays on top of it.
    const POINT desktop{width - 100, height / 2};
    SendPointer(MOUSEEVENTF_MOVE, desktop);
    SendPointer(MOUSEEVENTF_LEFTDOWN, desktop);
    SendPointer(MOUSEEVENTF_LEFTUP, desktop);
    EXPECT_TRUE(WaitUntil([] { return GetForegroundWindow() == GetDesktopWindow(); }, kSettleMs))
        << "in front: a " << ClassOf(GetForegroundWindow());
    Sleep(2500);
    EXPECT_TRUE(IsTopmost(cat)) << "the cat stepped aside for a " << ClassOf(GetForegroundWindow());

    const struct {
        const char* what;
        RECT area;
        bool maximised;
        bool covers;
    } rows[] = {
        {"a large window short of the bottom", {0, 0, width, height - 68}, false, false},
        // As a video player goes full screen from its maximised window, taking the frame away.
        {"a maximised window without a frame over the monitor", {0, 0, width, height}, true, true},
        {"a borderless window over the whole monitor", {0, 0, width, height}, false, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        WindowInFront front(row.area, pakico.Centre(), {memo},
                            row.maximised ? std::vector<std::string>{"--zoomed"}
                                          : std::vector<std::string>{});
        HWND window = front.WaitInFront(kSettleMs);
        ASSERT_NE(nullptr, window) << "the window did not come to the front";
        RECT client{};
        GetClientRect(window, &client);
        EXPECT_EQ(row.maximised, IsZoomed(window) != FALSE);
        EXPECT_TRUE(client.right == row.area.right && client.bottom == row.area.bottom);
        if (row.covers) {
            EXPECT_TRUE(WaitUntil([&] { return !IsTopmost(cat); }, kWithinASecond))
                << "the cat stayed on top";
            EXPECT_TRUE(LiesAbove(window, cat)) << "the cat lies above the window";
            EXPECT_EQ(window, TopWindowAt(pakico.Centre())) << "the cat's place shows the cat";
        } else {
            // Two refresh ticks: nothing changes.
            Sleep(2500);
            EXPECT_TRUE(IsTopmost(cat));
            EXPECT_TRUE(LiesAbove(cat, window));
            EXPECT_EQ(cat, TopWindowAt(pakico.Centre()));
        }
        // Neither hidden, moved nor changed otherwise.
        EXPECT_TRUE(IsWindowVisible(cat));
        EXPECT_TRUE(SameRect(place, pakico.Frame()));
        EXPECT_EQ("CoolForm1", pakico.Layer());
        EXPECT_EQ(1u, TopWindows("PakicoTaskTrayIcon", pakico.ProcessId()).size());

        // A drop on the cat's place: the window in front takes it, or the cat does. Then the
        // window closes: the cat is on top again, at its place.
        const std::size_t runs = pakico.MorvaRuns();
        const DragOutcome dropped = front.DragAndClose();
        EXPECT_TRUE(WaitUntil([&] { return IsTopmost(cat); }, kWithinASecond))
            << "the cat did not come back on top";
        EXPECT_TRUE(SameRect(place, pakico.Frame()));
        EXPECT_EQ(cat, TopWindowAt(pakico.Centre()));
        EXPECT_EQ(kEffectCopy, dropped.effect);
        EXPECT_EQ(row.covers, dropped.ownWindow) << "the drop went to the wrong window";
        auto seen = pakico.WaitForMorva(runs + 1, row.covers ? 1500 : 10000);
        ASSERT_EQ(row.covers ? runs : runs + 1, seen.size()) << "the companion's starts";
        if (!row.covers)
            ExpectHandOff(pakico, seen.back(), "/QA \\", {memo});
    }
    // And takes drops.
    ExpectHandOff(pakico, DropAndWait(pakico, {}, {memo}), "/QA \\", {memo});
}

// A notice the program opens on its own while the cat has stepped aside for another program's
// full-screen work (here: a restarted taskbar will not take the notification-area icon, told
// after the quiet tries, which a quick refresh makes short) is not put over that work, where a
// new window knocks many games out of full screen: it waits, and shows once the cat is back.
TEST_F(FullScreen, ANoticeOfItsOwnWaitsUntilTheCatIsBack) {
    ScopedEnvironmentVariable fastRefresh("PAKICO_REFRESH_MS", "50");
    StandinTaskbar taskbar;
    taskbar.SetMode(StandinTaskbar::Mode::Accepting);
    PakicoRun pakico;
    ASSERT_TRUE(pakico.Start());
    const HWND cat = pakico.Main();
    const std::string file = pakico.Scratch() + "memo.txt";
    WriteFileBytes(file, "memo");
    {
        const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        WindowInFront front(screen, pakico.Centre(), {file});
        ASSERT_NE(nullptr, front.WaitInFront(kSettleMs));
        ASSERT_TRUE(WaitUntil([&] { return !IsTopmost(cat); }, kWithinASecond));
        const int asked = taskbar.Asked();
        taskbar.Restart(StandinTaskbar::Mode::Refusing);
        // Asked when the taskbar tells of itself, then at thirty refreshes.
        EXPECT_TRUE(WaitUntil([&] { return taskbar.Asked() >= asked + 31; }, 20000));
        EXPECT_EQ(nullptr, WaitForBox(pakico.ProcessId(), {}, 1500).window) << "over the window";
    }
    const SeenBox notice = WaitForBox(pakico.ProcessId(), {});
    EXPECT_EQ(kIconNotShown, notice.text);
    EXPECT_TRUE(IsTopmost(cat));
    EXPECT_TRUE(ClickBoxButton(notice.window, {"OK"}));
}
