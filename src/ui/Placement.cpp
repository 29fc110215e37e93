// Where dialogs appear.
#include "ui/Placement.h"

namespace {

ScreenRect RectOf(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

bool WindowRect(HWND window, ScreenRect& out) {
    RECT r{};
    if (!window || !GetWindowRect(window, &r))
        return false;
    out = RectOf(r);
    return true;
}

void MoveTo(HWND window, ScreenPoint corner) {
    SetWindowPos(window, nullptr, corner.x, corner.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Where a window of the given size goes on the monitor: `corner`, kept on it.
void MoveOnMonitor(HWND window, const ScreenRect& rect, ScreenPoint corner,
                   const MonitorRects& on) {
    corner = KeepOnMonitor(corner, rect.Width(), rect.Height(), on.monitor, on.work);
    if (corner.x != rect.left || corner.y != rect.top)
        MoveTo(window, corner);
}

HWND WindowOrHome(HWND window) {
    if (window && IsWindow(window))
        return window;
    return PlacementHome && IsWindow(PlacementHome) ? PlacementHome : nullptr;
}

} // namespace

MonitorRects MonitorRectsOf(HWND window) {
    window = WindowOrHome(window);
    HMONITOR monitor = window ? MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST)
                              : MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (monitor && GetMonitorInfoA(monitor, &info))
        return {RectOf(info.rcMonitor), RectOf(info.rcWork)};
    // The platform could not tell: the primary screen and the work area it reports.
    RECT work{};
    const ScreenRect screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0))
        return {screen, screen};
    return {screen, RectOf(work)};
}

void PositionDialog(int mode, HWND owner, HWND dialog) {
    ScreenRect own{}, ownerRect{};
    if (!WindowRect(dialog, own))
        return;
    if (!WindowRect(owner, ownerRect)) {
        CentreOnMonitor(nullptr, dialog);
        return;
    }
    MoveOnMonitor(dialog, own, ProposedDialogPosition(mode, ownerRect, own.Width(), own.Height()),
                  MonitorRectsOf(owner));
}

void PlaceDialog(int mode, HWND owner, HWND dialog) {
    PositionDialog(mode, owner, dialog);
    ShowWindow(dialog, SW_SHOWNORMAL);
}

void CentreOnMonitor(HWND reference, HWND window) {
    ScreenRect own{};
    if (!WindowRect(window, own))
        return;
    const MonitorRects on = MonitorRectsOf(reference);
    MoveOnMonitor(window, own, CentredOver(on.monitor, own.Width(), own.Height()), on);
}

void KeepOnMonitorOf(HWND reference, HWND window) {
    ScreenRect own{};
    if (!WindowRect(window, own))
        return;
    reference = WindowOrHome(reference);
    const HMONITOR wanted = reference ? MonitorFromWindow(reference, MONITOR_DEFAULTTONEAREST)
                                      : MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY);
    if (MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST) != wanted) {
        CentreOnMonitor(reference, window);
        return;
    }
    MoveOnMonitor(window, own, {own.left, own.top}, MonitorRectsOf(reference));
}

void KeepClearOfTaskbar(HWND window) {
    ScreenRect own{};
    if (!WindowRect(window, own))
        return;
    const ScreenPoint corner =
        KeepInside({own.left, own.top}, own.Width(), own.Height(), MonitorRectsOf(window).work);
    if (corner.x != own.left || corner.y != own.top)
        MoveTo(window, corner);
}
