// The settings dialog's pages under a visual style. The style paints the pages' body lighter
// than the dialog, while the check boxes, radio buttons, group boxes and texts on them would
// fill their backgrounds with the dialog's colour, in bands: they get the body as the tab
// control paints it, lined up with where they lie on it.
#include "config/CoolConfigForm.h"

#include "config/CoolConfigFormRes.h"
#include "util/ScopedWin.h"

namespace {

// Whether a control is drawn with a visual style. The theme library exists from Windows XP on
// and is loaded by the common controls that use it; without it nothing is themed.
bool IsThemed(HWND control) {
    using GetWindowThemeFn = HANDLE(WINAPI*)(HWND);
    auto getWindowTheme =
        win::FunctionIn<GetWindowThemeFn>(GetModuleHandleA("uxtheme.dll"), "GetWindowTheme");
    return getWindowTheme && getWindowTheme(control);
}

bool IsClass(HWND window, const char* name) {
    char className[32] = "";
    GetClassNameA(window, className, sizeof className);
    return lstrcmpiA(className, name) == 0;
}

// The client area of the tab control in the coordinates of `window`.
RECT PagesIn(HWND tabs, HWND window) {
    RECT area{};
    GetClientRect(tabs, &area);
    MapWindowPoints(tabs, window, reinterpret_cast<POINT*>(&area), 2);
    return area;
}

} // namespace

HBRUSH TCoolConfigForm::PageBrush() {
    HWND tabs = GetDlgItem(Handle(), IDC_CFG_PAGECONTROL);
    if (!IsThemed(tabs))
        return nullptr;
    // The tab control may ask the dialog for its background while it paints for the brush.
    if (pageBrush_ || makingPageBrush_)
        return static_cast<HBRUSH>(pageBrush_.get());
    RECT area{};
    GetClientRect(tabs, &area);
    if (area.right <= 0 || area.bottom <= 0)
        return nullptr;
    makingPageBrush_ = true;
    HDC screen = GetDC(tabs);
    HDC memory = CreateCompatibleDC(screen);
    pageBitmap_.reset(CreateCompatibleBitmap(screen, area.right, area.bottom));
    if (memory && pageBitmap_) {
        HGDIOBJ previous = SelectObject(memory, pageBitmap_.get());
        FillRect(memory, &area, GetSysColorBrush(COLOR_3DFACE));
        SendMessageA(tabs, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory),
                     PRF_CLIENT | PRF_ERASEBKGND);
        SelectObject(memory, previous);
        pageBrush_.reset(CreatePatternBrush(static_cast<HBITMAP>(pageBitmap_.get())));
    }
    if (memory)
        DeleteDC(memory);
    ReleaseDC(tabs, screen);
    makingPageBrush_ = false;
    return static_cast<HBRUSH>(pageBrush_.get());
}

// The background of a page's control: its own text colour over the body beneath it.
HBRUSH TCoolConfigForm::PageBackground(HDC dc, HWND control) {
    if (PageOfControl(GetDlgCtrlID(control)) < 0 ||
        !(IsClass(control, "Button") || IsClass(control, "Static")))
        return nullptr;
    HBRUSH brush = PageBrush();
    if (!brush)
        return nullptr;
    HWND tabs = GetDlgItem(Handle(), IDC_CFG_PAGECONTROL);
    RECT place{};
    GetWindowRect(control, &place);
    MapWindowPoints(nullptr, tabs, reinterpret_cast<POINT*>(&place), 2);
    // Brush origins count in device pixels, which a borrowed context may have moved.
    POINT viewport{};
    GetViewportOrgEx(dc, &viewport);
    SetBrushOrgEx(dc, viewport.x - place.left, viewport.y - place.top, nullptr);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    return brush;
}

// The dialog's own background, with the body under the pages: what a styled group box shows
// inside its frame, as it asks its parent to paint there.
bool TCoolConfigForm::EraseWithPageBody(HDC dc) {
    HBRUSH brush = PageBrush();
    if (!brush)
        return false;
    RECT client{};
    GetClientRect(Handle(), &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_3DFACE));
    const RECT pages = PagesIn(GetDlgItem(Handle(), IDC_CFG_PAGECONTROL), Handle());
    // A control that asks for this background paints on with the context afterwards.
    POINT viewport{}, origin{};
    GetViewportOrgEx(dc, &viewport);
    SetBrushOrgEx(dc, pages.left + viewport.x, pages.top + viewport.y, &origin);
    FillRect(dc, &pages, brush);
    SetBrushOrgEx(dc, origin.x, origin.y, nullptr);
    return true;
}
