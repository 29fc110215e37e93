// The About box.
#include "app/DropAboutForm.h"

#include "app/DropAboutFormRes.h"
#include "res/resource.h"
#include "ui/Dpi.h"
#include "ui/Placement.h"
#include "util/DpiScale.h"
#include "util/SystemLookups.h"

#include <commctrl.h>
#include <shellapi.h>

namespace {

constexpr int kClientWidth = 378;
constexpr int kClientHeight = 131;
constexpr int kFaceSize = 32;
constexpr COLORREF kMailColour = RGB(0, 128, 0);
constexpr COLORREF kWebColour = RGB(0, 0, 255);

HFONT MakeFont(const char* face, int pixels, bool bold, bool underline) {
    LOGFONTA font{};
    font.lfHeight = -pixels;
    font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    font.lfUnderline = underline;
    font.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(font.lfFaceName, face, LF_FACESIZE);
    return CreateFontIndirectA(&font);
}

std::string ControlText(HWND control) {
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(control)) + 1, '\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextA(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

} // namespace

TDropAboutForm::TDropAboutForm(HWND reference)
    : ui::ModalDialog({GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ABOUT), nullptr},
                      "DropAboutForm"),
      reference_(reference) {}

bool TDropAboutForm::OnInit() {
    FormCreate();
    FormShow();
    return true;
}

int TDropAboutForm::Scaled(int length) const {
    return ScaleForDpi(length, Dpi());
}

void TDropAboutForm::FormCreate() {
    SetDlgItemTextA(Handle(), IDC_ABOUT_MAIL, "pakico@example.jp");
    SetDlgItemTextA(Handle(), IDC_ABOUT_WEBPAGE, "http://www.example.jp/pakico/");
    ApplyDensity();
    AddAddressHints();
}

void TDropAboutForm::OnDpiChanged() {
    ApplyDensity();
}

void TDropAboutForm::ApplyDensity() {
    // Every size below is that of a 96-dpi screen, grown with the density of the box's monitor.
    // The controls take the new fonts before the old ones go.
    LOGFONTA icon = IconFont();
    win::ScopedGdiObject label(MakeFont(icon.lfFaceName, Scaled(12), false, false));
    win::ScopedGdiObject title(MakeFont("MS UI Gothic", Scaled(19), true, false));
    win::ScopedGdiObject notice(MakeFont("MS Sans Serif", Scaled(11), false, false));
    win::ScopedGdiObject link(MakeFont("MS Sans Serif", Scaled(11), false, true));
    for (HWND child = GetWindow(Handle(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(label.get()), FALSE);
    SendDlgItemMessageA(Handle(), IDC_ABOUT_LABEL2, WM_SETFONT,
                        reinterpret_cast<WPARAM>(title.get()), FALSE);
    SendDlgItemMessageA(Handle(), IDC_ABOUT_NOTICE, WM_SETFONT,
                        reinterpret_cast<WPARAM>(notice.get()), FALSE);
    for (int id : {IDC_ABOUT_MAIL, IDC_ABOUT_WEBPAGE})
        SendDlgItemMessageA(Handle(), id, WM_SETFONT, reinterpret_cast<WPARAM>(link.get()), FALSE);
    labelFont_ = std::move(label);
    titleFont_ = std::move(title);
    noticeFont_ = std::move(notice);
    linkFont_ = std::move(link);

    win::ScopedGdiObject picture(LoadImageA(GetModuleHandleA(nullptr),
                                            MAKEINTRESOURCEA(IDB_ABOUTCAT), IMAGE_BITMAP, 0, 0,
                                            LR_LOADTRANSPARENT | LR_LOADMAP3DCOLORS));
    // The face at the size of its place, pixel for pixel.
    if (picture && Scaled(kFaceSize) != kFaceSize)
        if (HBITMAP grown = ui::ScaleBitmap(static_cast<HBITMAP>(picture.get()), Scaled(kFaceSize),
                                            Scaled(kFaceSize)))
            picture.reset(grown);
    SendDlgItemMessageA(Handle(), IDC_ABOUT_IMAGE, STM_SETIMAGE, IMAGE_BITMAP,
                        reinterpret_cast<LPARAM>(picture.get()));
    picture_ = std::move(picture);
    LayOut();
}

// Each address shows its own text as a hint, whole even where the field cuts it off.
void TDropAboutForm::AddAddressHints() {
    // Owned by the box, the hint window goes with it.
    HWND hints = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                                 WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    if (!hints)
        return;
    for (int id : {IDC_ABOUT_MAIL, IDC_ABOUT_WEBPAGE}) {
        HWND field = GetDlgItem(Handle(), id);
        std::string text = ControlText(field);
        TOOLINFOA tool{};
        // The first form of the record: every version of the common controls takes it.
        tool.cbSize = TTTOOLINFOA_V1_SIZE;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = Handle();
        tool.uId = reinterpret_cast<UINT_PTR>(field);
        tool.lpszText = text.data();
        SendMessageA(hints, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

// Places the controls in pixels of a 96-dpi screen grown with the density, whatever the dialog
// units of the font come to.
void TDropAboutForm::LayOut() {
    LayOutInPixels(kClientWidth, kClientHeight,
                   {
                       {IDC_ABOUT_IMAGE, 8, 12, kFaceSize, kFaceSize},
                       {IDC_ABOUT_LABEL1, 60, 12, 60, 14},
                       {IDC_ABOUT_LABEL2, 60, 28, 72, 22},
                       {IDC_ABOUT_LABEL3, 136, 34, 90, 14},
                       {IDC_ABOUT_NOTICE, 60, 53, 152, 15},
                       {IDC_ABOUT_MAIL, 203, 52, 109, 16},
                       {IDC_ABOUT_WEBPAGE, 60, 72, 212, 16},
                       {IDOK, 276, 100, 90, 22},
                   });
}

void TDropAboutForm::FormShow() {
    StayOnTopWith(reference_);
    // In the middle of the monitor the cat is on.
    CentreOnMonitor(reference_, Handle());
    ShowWindow(Handle(), SW_SHOWNORMAL);
    SetFocus(GetDlgItem(Handle(), IDOK));
}

INT_PTR TDropAboutForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    switch (message) {
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC: {
        HWND control = reinterpret_cast<HWND>(lParam);
        int id = GetDlgCtrlID(control);
        if (id == IDC_ABOUT_MAIL || id == IDC_ABOUT_WEBPAGE) {
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, id == IDC_ABOUT_MAIL ? kMailColour : kWebColour);
            SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
            handled = true;
            return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
        }
        break;
    }
    case WM_SETCURSOR: {
        int id = GetDlgCtrlID(reinterpret_cast<HWND>(wParam));
        if (id == IDC_ABOUT_MAIL || id == IDC_ABOUT_WEBPAGE) {
            SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32649))); // the hand
            SetWindowLongPtrA(Handle(), DWLP_MSGRESULT, TRUE);
            handled = true;
            return TRUE;
        }
        break;
    }
    case WM_COMMAND:
        if (HIWORD(wParam) == EN_SETFOCUS) {
            // A click on an address opens it; the focus goes back to the button.
            if (LOWORD(wParam) == IDC_ABOUT_MAIL)
                EdtMailClick();
            else if (LOWORD(wParam) == IDC_ABOUT_WEBPAGE)
                EdtWebPageClick();
            else
                break;
            SetFocus(GetDlgItem(Handle(), IDOK));
            handled = true;
            return TRUE;
        }
        break;
    }
    return ui::ModalDialog::HandleMessage(message, wParam, lParam, handled);
}

void TDropAboutForm::EdtMailClick() {
    OpenWithShell("mailto:" + ControlText(GetDlgItem(Handle(), IDC_ABOUT_MAIL)) +
                  "?subject=About Pakico.");
}

void TDropAboutForm::EdtWebPageClick() {
    OpenWithShell(ControlText(GetDlgItem(Handle(), IDC_ABOUT_WEBPAGE)));
}

void TDropAboutForm::OpenWithShell(const std::string& target) {
    auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteA(GetDesktopWindow(), "open", target.c_str(), nullptr, nullptr, SW_SHOW));
    if (result <= 32)
        MessageBeep(0);
}
