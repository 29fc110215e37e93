// Pixel densities and resampled pictures.
#include "ui/Dpi.h"

#include "util/DpiScale.h"
#include "util/ScopedWin.h"

#include <cstring>
#include <vector>

namespace ui {

namespace {

// The per-monitor functions come with Windows 8.1 and 10: looked up once, absent before.
using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
using SetDialogDpiChangeBehaviorFn = BOOL(WINAPI*)(HWND, int, int);

template <typename Fn> Fn Lookup(const char* module, const char* name, bool load) {
    return win::FunctionIn<Fn>(load ? LoadLibraryA(module) : GetModuleHandleA(module), name);
}

GetDpiForWindowFn GetDpiForWindowOrNull() {
    static const auto fn = Lookup<GetDpiForWindowFn>("user32.dll", "GetDpiForWindow", false);
    return fn;
}

GetDpiForMonitorFn GetDpiForMonitorOrNull() {
    // Kept loaded for the rest of the run, as a linked library would be.
    static const auto fn = Lookup<GetDpiForMonitorFn>("shcore.dll", "GetDpiForMonitor", true);
    return fn;
}

constexpr int kEffectiveDpi = 0; // MDT_EFFECTIVE_DPI

// Windows 8.1 and later tell each monitor's density.
int PlatformMonitorDpi(HMONITOR monitor) {
    UINT x = 0, y = 0;
    auto fn = GetDpiForMonitorOrNull();
    return fn && monitor && SUCCEEDED(fn(monitor, kEffectiveDpi, &x, &y)) ? static_cast<int>(y) : 0;
}

MonitorDpiFunction currentMonitorDpi = PlatformMonitorDpi;

int MonitorDpi(HMONITOR monitor) {
    const int dpi = currentMonitorDpi(monitor);
    return dpi > 0 ? dpi : SystemDpi();
}

} // namespace

MonitorDpiFunction SetMonitorDpiFunction(MonitorDpiFunction function) {
    MonitorDpiFunction previous = currentMonitorDpi;
    currentMonitorDpi = function ? function : PlatformMonitorDpi;
    return previous;
}

int SystemDpi() {
    HDC screen = GetDC(nullptr);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen)
        ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kBaseDpi;
}

int WindowDpi(HWND window) {
    if (auto fn = GetDpiForWindowOrNull())
        if (UINT dpi = fn(window))
            return static_cast<int>(dpi);
    // Windows 8.1 tells the density per monitor, but not per window.
    return MonitorDpi(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST));
}

int TaskbarDpi() {
    // The main taskbar, whose notification area holds the icons; without one, the primary
    // monitor it is normally on.
    return MonitorDpi(
        MonitorFromWindow(FindWindowA("Shell_TrayWnd", nullptr), MONITOR_DEFAULTTOPRIMARY));
}

void AdjustFrameForDpi(RECT& rect, DWORD style, DWORD exStyle, int dpi) {
    static const auto adjust =
        Lookup<AdjustWindowRectExForDpiFn>("user32.dll", "AdjustWindowRectExForDpi", false);
    if (!adjust || !adjust(&rect, style, FALSE, exStyle, static_cast<UINT>(dpi)))
        AdjustWindowRectEx(&rect, style, FALSE, exStyle);
}

void LeaveDpiChangesToDialog(HWND dialog) {
    constexpr int kDisableAll = 1; // DDC_DISABLE_ALL
    static const auto fn =
        Lookup<SetDialogDpiChangeBehaviorFn>("user32.dll", "SetDialogDpiChangeBehavior", false);
    if (fn)
        fn(dialog, kDisableAll, kDisableAll);
}

void LayOutDialog(HWND dialog, int clientWidth, int clientHeight, const ControlPlace* places,
                  std::size_t count, int dpi) {
    RECT frame{0, 0, ScaleForDpi(clientWidth, dpi), ScaleForDpi(clientHeight, dpi)};
    AdjustFrameForDpi(frame, static_cast<DWORD>(GetWindowLongA(dialog, GWL_STYLE)),
                      static_cast<DWORD>(GetWindowLongA(dialog, GWL_EXSTYLE)), dpi);
    SetWindowPos(dialog, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER);
    for (std::size_t i = 0; i < count; ++i) {
        const ControlPlace& p = places[i];
        MoveWindow(GetDlgItem(dialog, p.id), ScaleForDpi(p.x, dpi), ScaleForDpi(p.y, dpi),
                   ScaleForDpi(p.w, dpi), ScaleForDpi(p.h, dpi), FALSE);
    }
}

HBITMAP ScaleBitmap(HBITMAP bitmap, int width, int height) {
    BITMAP info{};
    if (width <= 0 || height <= 0 || !GetObjectA(bitmap, sizeof info, &info) || info.bmWidth <= 0 ||
        info.bmHeight <= 0)
        return nullptr;
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = info.bmWidth;
    format.bmiHeader.biHeight = -info.bmHeight; // rows from the top
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(info.bmWidth) *
                                      static_cast<std::size_t>(info.bmHeight));
    HDC screen = GetDC(nullptr);
    if (!screen)
        return nullptr;
    int rows = GetDIBits(screen, bitmap, 0, static_cast<UINT>(info.bmHeight), pixels.data(),
                         &format, DIB_RGB_COLORS);
    auto scaled = ScaleNearest(pixels, info.bmWidth, info.bmHeight, width, height);
    HBITMAP result = nullptr;
    if (rows == info.bmHeight && !scaled.empty()) {
        format.bmiHeader.biWidth = width;
        format.bmiHeader.biHeight = -height;
        void* bits = nullptr;
        result = CreateDIBSection(screen, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (result && bits)
            std::memcpy(bits, scaled.data(), scaled.size() * sizeof scaled[0]);
    }
    ReleaseDC(nullptr, screen);
    return result;
}

} // namespace ui
