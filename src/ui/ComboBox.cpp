// Base of the owner-drawn, fixed-height combo boxes.
#include "ui/ComboBox.h"

#include <commctrl.h>

#include <vector>

namespace ui {

namespace {
constexpr UINT_PTR kSubclassId = 1;
// The box being created: the parent measures its items before CreateWindowExA returns.
thread_local OwnerDrawComboBox* creating = nullptr;
thread_local int creatingId = 0;
} // namespace

OwnerDrawComboBox::~OwnerDrawComboBox() {
    HWND combo = combo_;
    bool created = created_;
    Detach();
    if (created && combo)
        DestroyWindow(combo);
}

bool OwnerDrawComboBox::Create(HWND parent, int id, const RECT& bounds, DWORD kind) {
    if (combo_)
        return false;
    DWORD style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | kind | CBS_OWNERDRAWFIXED |
                  CBS_HASSTRINGS;
    creating = this;
    creatingId = id;
    HWND combo = CreateWindowExA(0, "COMBOBOX", "", style, bounds.left, bounds.top,
                                 bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 GetModuleHandleA(nullptr), nullptr);
    creating = nullptr;
    if (!combo)
        return false;
    SendMessageA(combo, WM_SETFONT, SendMessageA(parent, WM_GETFONT, 0, 0), FALSE);
    Bind(combo);
    created_ = true;
    return true;
}

void OwnerDrawComboBox::Attach(HWND combo) {
    Detach();
    Bind(combo);
}

void OwnerDrawComboBox::Bind(HWND combo) {
    combo_ = combo;
    SetWindowSubclass(combo, &OwnerDrawComboBox::SubclassProcedure, kSubclassId,
                      reinterpret_cast<DWORD_PTR>(this));
    // Measured again with the font the box has now.
    Remeasure();
}

void OwnerDrawComboBox::Remeasure() {
    if (!combo_)
        return;
    MEASUREITEMSTRUCT measure = {};
    measure.CtlType = ODT_COMBOBOX;
    measure.CtlID = static_cast<UINT>(GetDlgCtrlID(combo_));
    MeasureItem(measure);
    // -1 is the selection field.
    SendMessageA(combo_, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), measure.itemHeight);
    SendMessageA(combo_, CB_SETITEMHEIGHT, 0, measure.itemHeight);
}

void OwnerDrawComboBox::Detach() {
    if (combo_)
        RemoveWindowSubclass(combo_, &OwnerDrawComboBox::SubclassProcedure, kSubclassId);
    combo_ = nullptr;
    created_ = false;
}

OwnerDrawComboBox* OwnerDrawComboBox::FromHandle(HWND combo) {
    DWORD_PTR self = 0;
    if (!combo ||
        !GetWindowSubclass(combo, &OwnerDrawComboBox::SubclassProcedure, kSubclassId, &self))
        return nullptr;
    return reinterpret_cast<OwnerDrawComboBox*>(self);
}

LRESULT CALLBACK OwnerDrawComboBox::SubclassProcedure(HWND combo, UINT message, WPARAM wParam,
                                                      LPARAM lParam, UINT_PTR, DWORD_PTR self) {
    if (message == WM_NCDESTROY) {
        // The box goes with its parent: the object forgets it.
        auto* box = reinterpret_cast<OwnerDrawComboBox*>(self);
        RemoveWindowSubclass(combo, &OwnerDrawComboBox::SubclassProcedure, kSubclassId);
        box->combo_ = nullptr;
        box->created_ = false;
    }
    return DefSubclassProc(combo, message, wParam, lParam);
}

int OwnerDrawComboBox::Count() const {
    return static_cast<int>(SendMessageA(combo_, CB_GETCOUNT, 0, 0));
}

std::string OwnerDrawComboBox::Item(int index) const {
    LRESULT length = SendMessageA(combo_, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR)
        return {};
    std::vector<char> text(static_cast<size_t>(length) + 1, '\0');
    LRESULT got = SendMessageA(combo_, CB_GETLBTEXT, static_cast<WPARAM>(index),
                               reinterpret_cast<LPARAM>(text.data()));
    return got == CB_ERR ? std::string() : std::string(text.data(), static_cast<size_t>(got));
}

void OwnerDrawComboBox::AddItem(const std::string& text) {
    SendMessageA(combo_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void OwnerDrawComboBox::InsertItem(int index, const std::string& text) {
    SendMessageA(combo_, CB_INSERTSTRING, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(text.c_str()));
}

void OwnerDrawComboBox::DeleteItem(int index) {
    SendMessageA(combo_, CB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

void OwnerDrawComboBox::ClearItems() {
    SendMessageA(combo_, CB_RESETCONTENT, 0, 0);
}

int OwnerDrawComboBox::ItemIndex() const {
    return static_cast<int>(SendMessageA(combo_, CB_GETCURSEL, 0, 0));
}

void OwnerDrawComboBox::SetItemIndex(int index) {
    SendMessageA(combo_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

std::string OwnerDrawComboBox::Text() const {
    int length = GetWindowTextLengthA(combo_);
    std::vector<char> text(static_cast<size_t>(length) + 1, '\0');
    int got = GetWindowTextA(combo_, text.data(), length + 1);
    return std::string(text.data(), static_cast<size_t>(got > 0 ? got : 0));
}

void OwnerDrawComboBox::SetText(const std::string& text) {
    SetWindowTextA(combo_, text.c_str());
}

bool OwnerDrawComboBox::Enabled() const {
    return IsWindowEnabled(combo_) != FALSE;
}

bool OwnerDrawComboBox::ReflectMeasure(HWND parent, MEASUREITEMSTRUCT& measure) {
    if (measure.CtlType != ODT_COMBOBOX)
        return false;
    OwnerDrawComboBox* box = FromHandle(GetDlgItem(parent, static_cast<int>(measure.CtlID)));
    if (!box && creating && creatingId == static_cast<int>(measure.CtlID)) {
        box = creating;
        box->combo_ = GetDlgItem(parent, creatingId);
    }
    if (!box)
        return false;
    box->MeasureItem(measure);
    return true;
}

bool OwnerDrawComboBox::ReflectDraw(const DRAWITEMSTRUCT& draw) {
    if (draw.CtlType != ODT_COMBOBOX)
        return false;
    OwnerDrawComboBox* box = FromHandle(draw.hwndItem);
    if (!box)
        return false;
    box->DrawItem(draw);
    return true;
}

void OwnerDrawComboBox::MeasureItem(MEASUREITEMSTRUCT& measure) {
    HDC dc = GetDC(combo_);
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageA(combo_, WM_GETFONT, 0, 0));
    HGDIOBJ previous = SelectObject(dc, font ? font : GetStockObject(SYSTEM_FONT));
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, previous);
    ReleaseDC(combo_, dc);
    measure.itemHeight = static_cast<UINT>(metrics.tmHeight + 2);
}

void OwnerDrawComboBox::DrawItem(const DRAWITEMSTRUCT& draw) {
    bool selected = (draw.itemState & ODS_SELECTED) != 0;
    FillRect(draw.hDC, &draw.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    if (static_cast<int>(draw.itemID) >= 0) {
        std::string text = Item(static_cast<int>(draw.itemID));
        COLORREF oldText = SetTextColor(draw.hDC, GetSysColor(!Enabled() ? COLOR_GRAYTEXT
                                                              : selected ? COLOR_HIGHLIGHTTEXT
                                                                         : COLOR_WINDOWTEXT));
        int oldMode = SetBkMode(draw.hDC, TRANSPARENT);
        TextOutA(draw.hDC, draw.rcItem.left + 2, draw.rcItem.top + 1, text.c_str(),
                 static_cast<int>(text.size()));
        SetBkMode(draw.hDC, oldMode);
        SetTextColor(draw.hDC, oldText);
    }
    if (draw.itemState & ODS_FOCUS)
        DrawFocusRect(draw.hDC, &draw.rcItem);
}

} // namespace ui
