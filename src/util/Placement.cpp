// Where dialogs appear.
#include "util/Placement.h"

#include "util/WindowGeometry.h"

namespace {

bool WindowRect(HWND window, ScreenRect& out) {
    RECT r{};
    if (!window || !GetWindowRect(window, &r))
        return false;
    out = {r.left, r.top, r.right, r.bottom};
    return true;
}

void MoveTo(HWND window, int left, int top) {
    SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

void PlaceDialog(int mode, HWND owner, HWND dialog) {
    ScreenRect own{};
    if (!WindowRect(dialog, own))
        return;
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    ScreenRect ownerRect{};
    if (!WindowRect(owner, ownerRect)) {
        ScreenPoint corner = CentredOnScreen(own.Width(), own.Height(), screenWidth, screenHeight);
        MoveTo(dialog, corner.x, corner.y);
        ShowWindow(dialog, SW_SHOW);
        return;
    }
    ScreenPoint corner = ProposedDialogPosition(mode, ownerRect, own.Width(), own.Height());
    corner = ClampToScreen(corner, own.Width(), own.Height(), screenWidth, screenHeight);
    MoveTo(dialog, corner.x, corner.y);
    KeepClearOfTaskbar(dialog);
    ShowWindow(dialog, SW_SHOWNORMAL);
}

void KeepClearOfTaskbar(HWND window) {
    ScreenRect desktop{}, taskbar{}, current{};
    if (!WindowRect(GetDesktopWindow(), desktop) ||
        !WindowRect(FindWindowA("Shell_TrayWnd", nullptr), taskbar) || !WindowRect(window, current))
        return;
    const ScreenRect placed = KeepRectClearOfTaskbar(current, desktop, taskbar);
    if (placed.left != current.left || placed.top != current.top)
        MoveTo(window, placed.left, placed.top);
}
