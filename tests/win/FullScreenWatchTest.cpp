// The full-screen watch acts on the platform's notices alone (no tick runs here): another
// program's borderless window over the whole monitor comes to the front and the watched window
// steps behind it; the window closes and the watched one is on top again.
#include "app/FullScreenWatch.h"

#include "support/ProgramRun.h"
#include "support/WinTestSupport.h"
#include "support/ZOrder.h"
#include "win/UiTestSupport.h"

#include <gtest/gtest.h>

#include <string>

using namespace testing_support;

namespace {

// A topmost tool window in the cat's place and size.
struct CatWindow {
    CatWindow()
        : handle(CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP, 400, 300,
                                 58, 59, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr)) {
        ShowWindow(handle, SW_SHOWNOACTIVATE);
    }
    ~CatWindow() { DestroyWindow(handle); }
    HWND handle;
};

} // namespace

TEST(FullScreenWatch, StepsAsideAndComesBackOnThePlatformsNoticesAlone) {
    ui_test::HostWindow own;
    ShowWindow(own.Handle(), SW_SHOW);
    CatWindow cat;
    TFullScreenWatch watch(cat.handle);
    EXPECT_FALSE(watch.SteppedAside());
    EXPECT_TRUE(IsTopmost(cat.handle));
    const std::string never = "PakicoTestNever" + std::to_string(GetCurrentProcessId());
    win::ScopedHandle event(CreateEventA(nullptr, TRUE, FALSE, never.c_str()));
    const std::string area = "0,0," + std::to_string(GetSystemMetrics(SM_CXSCREEN)) + "," +
                             std::to_string(GetSystemMetrics(SM_CYSCREEN));

    // A window over the whole monitor as most programs make it, and a topmost one.
    for (const std::string kind : {"", " --topmost"}) {
        SCOPED_TRACE("window" + kind);
        // This program is in front: its own windows never count.
        SetForegroundWindow(own.Handle());
        ASSERT_TRUE(
            ui_test::PumpUntil([&] { return GetForegroundWindow() == own.Handle(); }, 5000));
        EXPECT_FALSE(watch.SteppedAside());

        // Another program's window takes the front (a drag source that waits for a signal that
        // never comes).
        ProgramRun other(ProgramFolder() + "DragSource.exe",
                         "--window " + area + kind + " --wait-for " + never + " --to 1,1 none.txt");
        HWND cover = nullptr;
        ASSERT_TRUE(ui_test::PumpUntil(
            [&] {
                HWND front = GetForegroundWindow();
                DWORD process = 0;
                GetWindowThreadProcessId(front, &process);
                cover = process == other.ProcessId() ? front : nullptr;
                return cover != nullptr;
            },
            20000));
        EXPECT_TRUE(ui_test::PumpUntil([&] { return watch.SteppedAside(); }, 2000))
            << "no notice reached the watch";
        EXPECT_FALSE(IsTopmost(cat.handle));
        EXPECT_TRUE(LiesAbove(cover, cat.handle));
        EXPECT_TRUE(IsWindowVisible(cat.handle));

        // It closes: the front comes back to this program, and the window is on top again.
        PostMessageA(cover, WM_CLOSE, 0, 0);
        EXPECT_EQ(106, other.WaitForExit(10000)) << "closed before its drag";
        EXPECT_TRUE(ui_test::PumpUntil([&] { return !watch.SteppedAside(); }, 2000))
            << "no notice reached the watch";
        EXPECT_TRUE(IsTopmost(cat.handle));
        RECT frame{};
        GetWindowRect(cat.handle, &frame);
        EXPECT_EQ(400, frame.left);
        EXPECT_EQ(300, frame.top);
    }
}
