// A picture layer that shapes and drags its parent window.
#include "shell/CoolForm.h"

#include "shell/RegionStream.h"

#include <commctrl.h>
#include <windowsx.h>

namespace {
constexpr WPARAM kMoveByCaption = SC_MOVE | HTCAPTION; // 0xF012: "drag as if by the caption"
} // namespace

void TCoolForm::CreateOn(HWND parent, const std::string& name) {
    parent_ = parent;
    // A top-level parent loses its frame and caption: the picture is all there is to see.
    if (!(GetWindowLongA(parent, GWL_STYLE) & WS_CHILD)) {
        LONG style = GetWindowLongA(parent, GWL_STYLE);
        SetWindowLongA(parent, GWL_STYLE, (style & ~(WS_CAPTION | WS_THICKFRAME)) | WS_POPUP);
    }
    ui::WindowSpec params;
    params.className = "TCoolForm";
    params.caption = name;
    params.style = WS_CHILD | WS_CLIPSIBLINGS;
    params.x = 0;
    params.y = 0;
    params.width = 0;
    params.height = 0;
    params.parent = parent;
    params.background = nullptr;
    Create(params);
    FillParent();
}

void TCoolForm::FillParent() {
    RECT client;
    GetClientRect(parent_, &client);
    MoveWindow(Handle(), 0, 0, client.right, client.bottom, FALSE);
}

void TCoolForm::SetPicture(HBITMAP picture) {
    picture_.reset(picture);
    if (parent_)
        region_.reset();
    if (Handle())
        InvalidateRect(Handle(), nullptr, FALSE);
}

void TCoolForm::LoadMask2(const std::uint8_t* stream, std::size_t size) {
    region_.reset();
    auto data = RegionDataFromStream(stream, size);
    if (!data)
        return;
    HRGN region = ExtCreateRegion(nullptr, static_cast<DWORD>(data->size()),
                                  reinterpret_cast<const RGNDATA*>(data->data()));
    if (!region)
        return;
    region_.reset(region);
    if (parent_) {
        // The platform owns a region once it is given to a window, so the window gets a copy
        // and the layer keeps its own for saving.
        HRGN copy = CreateRectRgn(0, 0, 0, 0);
        CombineRgn(copy, region, nullptr, RGN_COPY);
        if (!SetWindowRgn(parent_, copy, TRUE))
            DeleteObject(copy);
    }
}

std::vector<std::uint8_t> TCoolForm::SaveMask2() const {
    std::vector<std::uint8_t> data;
    if (region_) {
        auto region = static_cast<HRGN>(region_.get());
        data.resize(GetRegionData(region, 0, nullptr));
        GetRegionData(region, static_cast<DWORD>(data.size()),
                      reinterpret_cast<RGNDATA*>(data.data()));
    }
    return RegionStreamFromData(data);
}

void TCoolForm::SetHint(const std::string& hint) {
    if (!tooltip_) {
        tooltip_ =
            CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Handle(),
                            nullptr, GetModuleHandleA(nullptr), nullptr);
        if (!tooltip_)
            return;
    }
    // The first size of the record, which every version of the common controls accepts.
    TOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(Handle());
    tool.lpszText = const_cast<char*>(hint.c_str());
    SendMessageA(tooltip_, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void TCoolForm::SetVisible(bool visible) {
    ShowWindow(Handle(), visible ? SW_SHOWNA : SW_HIDE);
}

bool TCoolForm::IsVisible() const {
    return IsWindowVisible(Handle()) != FALSE;
}

void TCoolForm::Paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(Handle(), &ps);
    if (picture_) {
        HDC memory = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(memory, picture_.get());
        BITMAP info{};
        GetObjectA(picture_.get(), sizeof info, &info);
        BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, memory, 0, 0, SRCCOPY);
        SelectObject(memory, old);
        DeleteDC(memory);
    }
    EndPaint(Handle(), &ps);
}

LRESULT TCoolForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_ERASEBKGND:
        return 1; // the picture covers everything; erasing would only flicker
    case WM_LBUTTONDOWN:
        if (Draggable) {
            ReleaseCapture();
            SendMessageA(parent_, WM_SYSCOMMAND, kMoveByCaption, 0);
        }
        return 0;
    case WM_LBUTTONDBLCLK:
        if (OnDblClick)
            OnDblClick();
        return 0;
    case WM_CONTEXTMENU: {
        POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ScreenToClient(Handle(), &point);
        bool handled = false;
        if (OnContextPopup)
            OnContextPopup(point, handled);
        return 0;
    }
    case WM_SIZE:
        return 0;
    }
    return ui::Window::HandleMessage(message, wParam, lParam);
}
