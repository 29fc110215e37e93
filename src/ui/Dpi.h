// The pixel density of the screens, asked of the platform where it can tell (per monitor from
// Windows 8.1 on) and of the screen's device context where it cannot, and pictures resampled
// for it.
#pragma once

#include <windows.h>

#include <cstddef>

namespace ui {

// WM_DPICHANGED and WM_GETDPISCALEDSIZE, which older headers lack.
inline constexpr UINT kDpiChangedMessage = 0x02E0;
inline constexpr UINT kGetDpiScaledSizeMessage = 0x02E4;

// The density the whole desktop is drawn for (the screen's logical pixels per inch).
int SystemDpi();
// The density of the monitor a window is on; the system's where the platform cannot tell.
int WindowDpi(HWND window);
// The density of the monitor the taskbar is on, at which it draws the notification area: it
// follows a change of that monitor's scale, or the taskbar's move to another monitor, where the
// system's density stays as it was at sign-in. The system's where the platform cannot tell.
int TaskbarDpi();

// How the density of a monitor is asked (the platform's per-monitor density by default; 0 where
// it cannot tell), so that tests can stand in for monitors of other densities. Returns the
// previous way; null restores the platform's.
using MonitorDpiFunction = int (*)(HMONITOR monitor);
MonitorDpiFunction SetMonitorDpiFunction(MonitorDpiFunction function);

// Grows a client rectangle to the window rectangle of a window with these styles and no menu, with
// the frame of a monitor of `dpi` (AdjustWindowRectEx's frame where the platform knows one
// density only).
void AdjustFrameForDpi(RECT& rect, DWORD style, DWORD exStyle, int dpi);

// Keeps the platform's dialog manager from answering a change of density itself (from Windows 10
// version 1703 on it would stretch the dialog and give every control the template's font): the
// dialog lays itself out again. Nothing on systems that do not stretch dialogs.
void LeaveDpiChangesToDialog(HWND dialog);

// Where a dialog's control goes, in pixels of a 96-dpi screen.
struct ControlPlace {
    int id, x, y, w, h;
};
// Gives a dialog a client area of clientWidth × clientHeight and puts its controls in their
// places, every length given for 96 dpi and grown in proportion to `dpi`, as dialog units grow
// with the font.
void LayOutDialog(HWND dialog, int clientWidth, int clientHeight, const ControlPlace* places,
                  std::size_t count, int dpi);

// A copy of `bitmap` resampled to width × height pixels, nearest neighbour (no colour mixed),
// as a 32-bit device-independent bitmap owned by the caller; null when the platform refuses.
HBITMAP ScaleBitmap(HBITMAP bitmap, int width, int height);

} // namespace ui
