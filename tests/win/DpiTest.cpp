// Pictures for dense screens: bitmaps and menu images resampled pixel for pixel, and the
// density the platform reports under Wine.
#include <windows.h>

#include <gtest/gtest.h>

#include "UiTestSupport.h"
#include "res/resource.h"
#include "ui/Dpi.h"
#include "ui/ImageList.h"
#include "util/ScopedWin.h"

using namespace ui_test;

namespace {

constexpr COLORREF kMagenta = RGB(255, 0, 255);

// The colour of a pixel of any bitmap, read through a memory DC.
COLORREF PixelOf(HBITMAP bitmap, int x, int y) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    COLORREF colour = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    return colour;
}

} // namespace

TEST(Dpi, ABitmapGrowsByRepeatingEveryPixel) {
    // Two by two: red, green / blue, magenta.
    const COLORREF colours[4] = {RGB(255, 0, 0), RGB(0, 160, 0), RGB(0, 0, 255), kMagenta};
    Canvas picture(2, 2, RGB(255, 255, 255));
    for (int i = 0; i < 4; ++i)
        SetPixel(picture.dc(), i % 2, i / 2, colours[i]);
    win::ScopedGdiObject copy(CopyImage(picture.bitmap(), IMAGE_BITMAP, 0, 0, 0));

    win::ScopedGdiObject doubled(ui::ScaleBitmap(static_cast<HBITMAP>(copy.get()), 4, 4));
    ASSERT_TRUE(doubled);
    BITMAP info{};
    ASSERT_TRUE(GetObjectA(doubled.get(), sizeof info, &info));
    EXPECT_EQ(4, info.bmWidth);
    EXPECT_EQ(4, info.bmHeight);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(colours[y / 2 * 2 + x / 2],
                      PixelOf(static_cast<HBITMAP>(doubled.get()), x, y))
                << x << "," << y;

    EXPECT_EQ(nullptr, ui::ScaleBitmap(static_cast<HBITMAP>(copy.get()), 0, 4));
    EXPECT_EQ(nullptr, ui::ScaleBitmap(nullptr, 4, 4));
}

// The program's twelve menu images at 24 and 32 pixels (144 and 192 dpi): each keeps its
// transparent corner, and the cat's face of 32 pixels is the 16-pixel one doubled.
TEST(Dpi, TheMenuImagesComeAtTheSizeAsked) {
    HINSTANCE module = GetModuleHandleA(nullptr);
    ui::ImageList base =
        ui::ImageList::FromResource(module, MAKEINTRESOURCEA(IDB_IMAGELIST1), 16, 16, kMagenta);
    ASSERT_TRUE(base);
    EXPECT_EQ(16, base.Width());
    EXPECT_EQ(12, base.Count());
    for (int size : {24, 32}) {
        ui::ImageList grown = ui::ImageList::FromResource(module, MAKEINTRESOURCEA(IDB_IMAGELIST1),
                                                          16, size, kMagenta);
        ASSERT_TRUE(grown) << size;
        EXPECT_EQ(size, grown.Width());
        EXPECT_EQ(size, grown.Height());
        EXPECT_EQ(12, grown.Count());
    }
    // Drawn on white, the transparent pixels stay white and the face matches pixel for pixel.
    ui::ImageList doubled =
        ui::ImageList::FromResource(module, MAKEINTRESOURCEA(IDB_IMAGELIST1), 16, 32, kMagenta);
    Canvas small(16, 16, RGB(255, 255, 255)), large(32, 32, RGB(255, 255, 255));
    ASSERT_TRUE(base.Draw(8, small.dc(), 0, 0));
    ASSERT_TRUE(doubled.Draw(8, large.dc(), 0, 0));
    int mismatches = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            if (large.At(x, y) != small.At(x / 2, y / 2) && ++mismatches <= 5)
                ADD_FAILURE() << "at " << x << "," << y;
    EXPECT_EQ(0, mismatches);
    EXPECT_EQ(RGB(255, 255, 255), large.At(0, 0)) << "the corner is transparent";
}

// What the platform says of the density: the window's and the taskbar's are the desktop's while
// there is one monitor, and a frame for the desktop's density is the classic frame.
TEST(Dpi, TheDensityOfAWindowIsTheDesktopsOnOneMonitor) {
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 10, 10, 50, 50, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, window);
    HDC screen = GetDC(nullptr);
    const int logPixels = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(logPixels, ui::SystemDpi());
    EXPECT_EQ(logPixels, ui::WindowDpi(window));
    EXPECT_EQ(logPixels, ui::TaskbarDpi());
    DestroyWindow(window);

    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    RECT classic{0, 0, 378, 131}, forDpi = classic;
    AdjustWindowRectEx(&classic, style, FALSE, WS_EX_DLGMODALFRAME);
    ui::AdjustFrameForDpi(forDpi, style, WS_EX_DLGMODALFRAME, logPixels);
    EXPECT_TRUE(EqualRect(&classic, &forDpi));
}

// The notification area draws at the density of its taskbar's monitor, which need not be the
// primary one: a taskbar moved to a second monitor scaled to 150 % since sign-in, and back (Wine
// has one density for all: each monitor's is stood in for).
TEST(TwoMonitors, TheNotificationAreaDrawsAtItsTaskbarsMonitorsDensity) {
    if (GetSystemMetrics(SM_CMONITORS) < 2)
        GTEST_SKIP() << "one monitor: the test command runs this on a display of two";
    MONITORINFO primary{};
    primary.cbSize = sizeof primary;
    ASSERT_TRUE(GetMonitorInfoA(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &primary));
    const RECT& left = primary.rcMonitor;
    static HMONITOR second = MonitorFromPoint({left.right + 100, 100}, MONITOR_DEFAULTTONULL);
    ASSERT_NE(nullptr, second);
    // A taskbar of the test's own, in front of any other of its class, along a monitor's bottom.
    WNDCLASSA taskbarClass{};
    taskbarClass.lpfnWndProc = DefWindowProcA;
    taskbarClass.hInstance = GetModuleHandleA(nullptr);
    taskbarClass.lpszClassName = "Shell_TrayWnd";
    RegisterClassA(&taskbarClass);
    HWND taskbar =
        CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "Shell_TrayWnd", "", WS_POPUP, left.right,
                        500, 400, 30, nullptr, nullptr, taskbarClass.hInstance, nullptr);
    ASSERT_EQ(taskbar, FindWindowA("Shell_TrayWnd", nullptr));
    auto previous = ui::SetMonitorDpiFunction([](HMONITOR m) { return m == second ? 144 : 96; });
    EXPECT_EQ(144, ui::TaskbarDpi()) << "on the second monitor";
    SetWindowPos(taskbar, nullptr, left.left, left.bottom - 30, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(96, ui::TaskbarDpi()) << "on the primary monitor";
    ui::SetMonitorDpiFunction(previous);
    DestroyWindow(taskbar);
    UnregisterClassA("Shell_TrayWnd", taskbarClass.hInstance);
}
