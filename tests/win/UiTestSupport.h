// Shared by the window-layer and history tests: a host window, the error box replaced by a
// list, message pumping, a look into real menus, bitmaps to draw into, and a GDI census.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "support/WinTestSupport.h"
#include "ui/ErrorReport.h"
#include "ui/Window.h"

namespace ui_test {

// Collects what the error box would have shown while it lives.
class CapturedErrors {
  public:
    CapturedErrors() {
        previous_ = ui::SetErrorSink([this](const std::string& m) { messages.push_back(m); });
    }
    ~CapturedErrors() { ui::SetErrorSink(std::move(previous_)); }
    CapturedErrors(const CapturedErrors&) = delete;
    CapturedErrors& operator=(const CapturedErrors&) = delete;
    std::vector<std::string> messages;

  private:
    ui::ErrorSink previous_;
};

// A plain top-level window that owns menus and controls in the tests.
class HostWindow : public ui::Window {
  public:
    explicit HostWindow(const std::string& formName = "") {
        ui::WindowSpec params;
        params.className = "PakicoTestHost";
        params.caption = "Pakico test host";
        params.style = WS_OVERLAPPEDWINDOW;
        params.x = 40;
        params.y = 40;
        params.width = 420;
        params.height = 300;
        params.formName = formName;
        Create(params);
        SendMessageA(Handle(), WM_SETFONT,
                     reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    }
};

using testing_support::PumpMessages;
using testing_support::PumpUntil;

inline std::string MenuText(HMENU menu, int position) {
    char text[1024] = {};
    int length =
        GetMenuStringA(menu, static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION);
    return std::string(text, static_cast<size_t>(std::max(length, 0)));
}

inline MENUITEMINFOA MenuInfo(HMENU menu, int position) {
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STATE | MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU | MIIM_BITMAP | MIIM_DATA;
    GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info);
    return info;
}

inline bool IsSeparatorAt(HMENU menu, int position) {
    return (MenuInfo(menu, position).fType & MFT_SEPARATOR) != 0;
}

inline bool IsDisabledAt(HMENU menu, int position) {
    return (MenuInfo(menu, position).fState & MFS_DISABLED) != 0;
}

// The menu and every submenu below it.
inline void CollectMenus(HMENU menu, std::vector<HMENU>& out) {
    out.push_back(menu);
    for (int i = 0; i < GetMenuItemCount(menu); ++i)
        if (HMENU sub = GetSubMenu(menu, i))
            CollectMenus(sub, out);
}

// A 24-bit bitmap selected into a memory DC, for drawing and reading pixels back.
class Canvas {
  public:
    Canvas(int width, int height, COLORREF fill) : dc_(CreateCompatibleDC(nullptr)) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        old_ = SelectObject(dc_, bitmap_);
        RECT all = {0, 0, width, height};
        HBRUSH brush = CreateSolidBrush(fill);
        FillRect(dc_, &all, brush);
        DeleteObject(brush);
    }
    ~Canvas() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    HDC dc() const { return dc_; }
    HBITMAP bitmap() const { return bitmap_; }
    COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }
    // Pixels of `colour` inside the rectangle.
    int Count(const RECT& r, COLORREF colour) const {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                n += At(x, y) == colour;
        return n;
    }

  private:
    HDC dc_;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
};

// The number of GDI objects of this process: GetGuiResources where the platform answers it
// (Windows). Wine 8 answers 0 (not implemented); there every slot of the process's GDI handle
// table is asked for its object type instead, by the slot's number alone, which Wine accepts
// as a handle of whatever object lives in the slot.
class GdiCensus {
  public:
    static DWORD Take() {
        DWORD counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
        if (counted != 0)
            return counted;
        DWORD live = 0;
        for (ULONG_PTR slot = 1; slot <= 0xFFFF; ++slot)
            live += GetObjectType(reinterpret_cast<HGDIOBJ>(slot)) != 0;
        return live;
    }
};

// A dialog template in memory: a caption and a font, then the controls added one by one.
class TemplateBuilder {
  public:
    TemplateBuilder(const wchar_t* caption, DWORD style, short cx, short cy) {
        Align(4);
        DLGTEMPLATE head = {};
        head.style = style | DS_SETFONT;
        head.cx = cx;
        head.cy = cy;
        countAt_ = Put(head) + offsetof(DLGTEMPLATE, cdit);
        Word(0); // no menu
        Word(0); // the standard class
        Text(caption);
        Word(9);
        Text(L"MS Shell Dlg");
    }
    void Add(WORD id, WORD classAtom, DWORD style, short x, short y, short cx, short cy,
             const wchar_t* text) {
        Align(4);
        DLGITEMTEMPLATE item = {};
        item.style = style | WS_CHILD | WS_VISIBLE;
        item.x = x;
        item.y = y;
        item.cx = cx;
        item.cy = cy;
        item.id = id;
        Put(item);
        Word(0xFFFF);
        Word(classAtom);
        Text(text);
        Word(0); // no creation data
        auto* head = reinterpret_cast<WORD*>(bytes_.data() + countAt_);
        ++*head;
    }
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(bytes_.data()); }

  private:
    template <typename T> size_t Put(const T& value) {
        size_t at = bytes_.size();
        bytes_.resize(at + sizeof value);
        std::memcpy(bytes_.data() + at, &value, sizeof value);
        return at;
    }
    void Word(WORD w) { Put(w); }
    void Text(const wchar_t* text) {
        for (; *text; ++text)
            Word(static_cast<WORD>(*text));
        Word(0);
    }
    void Align(size_t n) {
        while (bytes_.size() % n)
            bytes_.push_back(0);
    }
    std::vector<unsigned char> bytes_;
    size_t countAt_ = 0;
};

} // namespace ui_test
