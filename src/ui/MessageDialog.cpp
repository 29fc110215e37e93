// The message dialog behind ShowMessageBox.
#include "ui/MessageDialog.h"

#include <algorithm>

#include "ui/Dpi.h"
#include "ui/HelpFile.h"
#include "ui/MessageBox.h"
#include "ui/Placement.h"
#include "util/PathText.h"
#include "util/SystemLookups.h"

namespace {

// Control IDs apart from the buttons, whose IDs are their answers (1 ... 10).
constexpr int kIconId = 20;
constexpr int kTextId = 21;
constexpr int kHelpId = 22;

// An empty dialog: the controls are made and laid out when it initialises.
struct alignas(4) EmptyDialogTemplate {
    DLGTEMPLATE header;
    WORD menu;
    WORD windowClass;
    WORD title;
};
const EmptyDialogTemplate kEmptyDialog{
    {WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0, 0, 0, 0, 0, 0}, 0, 0, 0};

// How the static control draws its text, so that measuring gives the same lines.
constexpr UINT kTextFormat = DT_LEFT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX | DT_EDITCONTROL;

LPCSTR StockIconName(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Exclamation:
        return IDI_EXCLAMATION;
    case MessageIcon::Hand:
        return IDI_HAND;
    case MessageIcon::Asterisk:
        return IDI_ASTERISK;
    case MessageIcon::Question:
        return IDI_QUESTION;
    case MessageIcon::None:
        break;
    }
    return nullptr;
}

SIZE TextSize(HDC dc, const std::string& text, UINT format, int maxWidth) {
    RECT r{0, 0, maxWidth, 0};
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, format | DT_CALCRECT);
    return {r.right - r.left, r.bottom - r.top};
}

} // namespace

// Sizes in pixels, from the dialog font the way the platform's dialog units are.
struct TMessageDialog::Metrics {
    int marginX = 0, marginY = 0, gapX = 0, gapY = 0;
    SIZE icon{0, 0};
    SIZE text{0, 0};
    int buttonHeight = 0, buttonGap = 0;
    std::vector<int> buttonWidths;
};

TMessageDialog::TMessageDialog(HWND owner, std::string text, MessageKind kind, unsigned buttons,
                               int helpContext)
    : ui::ModalDialog({nullptr, nullptr, &kEmptyDialog.header}, kFormName),
      owner_(owner && IsWindow(owner) ? owner : nullptr), text_(std::move(text)), kind_(kind),
      buttons_(buttons), helpContext_(helpContext), buttonList_(MessageButtonsOf(buttons)) {}

int TMessageDialog::ShowModal() {
    INT_PTR result = ui::ModalDialog::ShowModal(owner_);
    if (answerFailed_)
        std::rethrow_exception(answerFailed_);
    return result > 0 ? static_cast<int>(result) : EscapeMessageResult(buttons_);
}

INT_PTR TMessageDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    if (message == WM_COMMAND) {
        handled = true;
        ButtonClick(LOWORD(wParam));
        return TRUE;
    }
    return ui::ModalDialog::HandleMessage(message, wParam, lParam, handled);
}

bool TMessageDialog::OnInit() {
    SetWindowTextA(Handle(), MessageCaption(kind_).c_str());
    ApplyFont();
    AddControls();
    // Sized for the monitor it opens on: its owner's, or the cat's.
    LayOut(MonitorRectsOf(owner_).work);
    PositionDialog(2, owner_, Handle());
    if (MessagesStayOnTop)
        SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return false; // the focus is already on the default button
}

void TMessageDialog::OnDpiChanged() {
    ApplyFont();
    LayOut(MonitorRectsOf(Handle()).work);
}

void TMessageDialog::ApplyFont() {
    // The icon font is the one of the desktop's density; the dialog's may differ.
    LOGFONTA iconFont = IconFont();
    iconFont.lfHeight = MulDiv(iconFont.lfHeight, Dpi(), ui::SystemDpi());
    win::ScopedGdiObject font(CreateFontIndirectA(&iconFont));
    for (HWND child = GetWindow(Handle(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    font_ = std::move(font);
}

void TMessageDialog::ButtonClick(int id) {
    if (id == kHelpId) {
        ShowHelp();
        return;
    }
    for (const MessageButtonInfo& b : buttonList_)
        if (b.result != MessageResult::None && b.result == id) {
            Answer(id);
            return;
        }
    // Escape and the close box: the dialog manager's Cancel, answered by the Escape rule.
    if (id == IDCANCEL)
        Answer(EscapeMessageResult(buttons_));
}

void TMessageDialog::Answer(int result) {
    if (OnAnswer && !answerFailed_) {
        try {
            OnAnswer(result);
        } catch (...) {
            answerFailed_ = std::current_exception();
        }
    }
    EndModal(result);
}

TMessageDialog::Metrics TMessageDialog::Measure(HDC dc, const ScreenRect& workArea) const {
    Metrics m;
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE extent{};
    GetTextExtentPoint32A(dc, alphabet, 52, &extent);
    const int unitX = std::max(1, static_cast<int>((extent.cx / 26 + 1) / 2));
    const int unitY = std::max(1, static_cast<int>(tm.tmHeight));
    auto dluX = [unitX](int n) { return MulDiv(n, unitX, 4); };
    auto dluY = [unitY](int n) { return MulDiv(n, unitY, 8); };

    m.marginX = dluX(8);
    m.marginY = dluY(8);
    m.gapX = dluX(8);
    m.gapY = dluY(8);
    if (MessageIconOf(kind_) != MessageIcon::None)
        m.icon = {GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)};

    const int maxTextWidth = std::max<int>(dluX(100), workArea.Width() * 5 / 8 - m.icon.cx);
    m.text = TextSize(dc, text_, kTextFormat, maxTextWidth);
    m.text.cx = std::min<LONG>(m.text.cx, maxTextWidth);

    m.buttonHeight = dluY(14);
    m.buttonGap = dluX(4);
    for (const MessageButtonInfo& b : buttonList_) {
        SIZE caption = TextSize(dc, b.caption, DT_SINGLELINE, 0);
        m.buttonWidths.push_back(std::max(dluX(50), static_cast<int>(caption.cx) + dluX(10)));
    }
    // A text taller than the work area is cut so that the buttons stay within reach.
    const int captionHeight =
        GetSystemMetrics(SM_CYCAPTION) + 2 * GetSystemMetrics(SM_CYFIXEDFRAME);
    const int maxTextHeight =
        workArea.Height() - captionHeight - 2 * m.marginY - m.gapY - m.buttonHeight - 4;
    m.text.cy = std::clamp<LONG>(m.text.cy, 0, std::max(unitY, maxTextHeight));
    return m;
}

HWND TMessageDialog::AddControl(const char* windowClass, const std::string& text, DWORD style,
                                int id) {
    HWND control = CreateWindowExA(
        0, windowClass, text.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, Handle(),
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
    if (control && font_)
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    return control;
}

void TMessageDialog::AddControls() {
    if (MessageIconOf(kind_) != MessageIcon::None) {
        HWND icon = AddControl("STATIC", "", SS_ICON, kIconId);
        SendMessageA(
            icon, STM_SETICON,
            reinterpret_cast<WPARAM>(LoadIconA(nullptr, StockIconName(MessageIconOf(kind_)))), 0);
    }
    AddControl("STATIC", text_, SS_LEFT | SS_NOPREFIX | SS_EDITCONTROL, kTextId);

    const int defaultResult = DefaultMessageResult(buttons_);
    HWND focus = nullptr;
    for (std::size_t i = 0; i < buttonList_.size(); ++i) {
        const MessageButtonInfo& b = buttonList_[i];
        const bool isDefault = b.result != MessageResult::None && b.result == defaultResult;
        const int id = b.result == MessageResult::None ? kHelpId : b.result;
        DWORD style = WS_TABSTOP | (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        if (i == 0)
            style |= WS_GROUP;
        HWND button = AddControl("BUTTON", b.caption, style, id);
        if (isDefault || !focus)
            focus = button;
    }
    if (defaultResult != MessageResult::None)
        SendMessageA(Handle(), DM_SETDEFID, defaultResult, 0);
    if (focus)
        SetFocus(focus);
}

void TMessageDialog::LayOut(const ScreenRect& workArea) {
    HDC dc = GetDC(Handle());
    HGDIOBJ previous = SelectObject(dc, font_ ? font_.get() : GetStockObject(DEFAULT_GUI_FONT));
    const Metrics m = Measure(dc, workArea);
    SelectObject(dc, previous);
    ReleaseDC(Handle(), dc);

    const bool hasIcon = m.icon.cx > 0;
    const int textLeft = m.marginX + (hasIcon ? m.icon.cx + m.gapX : 0);
    const int areaHeight = std::max(m.icon.cy, m.text.cy);
    int buttonsWidth = 0;
    for (int w : m.buttonWidths)
        buttonsWidth += w;
    if (!m.buttonWidths.empty())
        buttonsWidth += m.buttonGap * static_cast<int>(m.buttonWidths.size() - 1);
    const int clientWidth =
        std::max<int>(textLeft + m.text.cx + m.marginX, 2 * m.marginX + buttonsWidth);
    const int buttonsTop = m.marginY + areaHeight + m.gapY;
    const int clientHeight = buttonsTop + m.buttonHeight + m.marginY;

    auto place = [&](int id, int x, int y, int width, int height) {
        MoveWindow(GetDlgItem(Handle(), id), x, y, width, height, FALSE);
    };
    if (hasIcon)
        place(kIconId, m.marginX, m.marginY, m.icon.cx, m.icon.cy);
    const int textTop = m.marginY + (m.text.cy < m.icon.cy ? (m.icon.cy - m.text.cy) / 2 : 0);
    place(kTextId, textLeft, textTop, m.text.cx, m.text.cy);
    int x = (clientWidth - buttonsWidth) / 2;
    for (std::size_t i = 0; i < buttonList_.size(); ++i) {
        const MessageButtonInfo& b = buttonList_[i];
        place(b.result == MessageResult::None ? kHelpId : b.result, x, buttonsTop,
              m.buttonWidths[i], m.buttonHeight);
        x += m.buttonWidths[i] + m.buttonGap;
    }

    RECT frame{0, 0, clientWidth, clientHeight};
    ui::AdjustFrameForDpi(frame, static_cast<DWORD>(GetWindowLongA(Handle(), GWL_STYLE)),
                          static_cast<DWORD>(GetWindowLongA(Handle(), GWL_EXSTYLE)), Dpi());
    SetWindowPos(Handle(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TMessageDialog::ShowHelp() const {
    if (helpContext_ == 0)
        return;
    ShowHelpTopic(Handle(), static_cast<DWORD>(helpContext_));
}
