// The message dialog behind ShowMessageBox.
#include "util/MessageDialog.h"

#include <algorithm>

#include "util/HelpFile.h"
#include "util/MessageBox.h"
#include "util/PathText.h"
#include "util/Placement.h"
#include "util/SystemLookups.h"
#include "util/WindowGeometry.h"

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
    : owner_(owner && IsWindow(owner) ? owner : nullptr), text_(std::move(text)), kind_(kind),
      buttons_(buttons), helpContext_(helpContext), buttonList_(MessageButtonsOf(buttons)) {}

int TMessageDialog::ShowModal() {
    EmptyDialogTemplate form{};
    form.header.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    INT_PTR result = DialogBoxIndirectParamA(GetModuleHandleA(nullptr), &form.header, owner_,
                                             DialogProc, reinterpret_cast<LPARAM>(this));
    if (answerFailed_)
        std::rethrow_exception(answerFailed_);
    return result > 0 ? static_cast<int>(result) : EscapeMessageResult(buttons_);
}

INT_PTR CALLBACK TMessageDialog::DialogProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        reinterpret_cast<TMessageDialog*>(lParam)->window_ = window;
    }
    auto* self = reinterpret_cast<TMessageDialog*>(GetWindowLongPtrA(window, DWLP_USER));
    if (!self)
        return FALSE;
    try {
        return self->HandleMessage(message, wParam, lParam);
    } catch (...) {
        // Nothing unwinds into the dialog manager: a dialog that cannot go on answers as Escape.
        EndDialog(window, EscapeMessageResult(self->buttons_));
        return TRUE;
    }
}

INT_PTR TMessageDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        FormCreate();
        return FALSE; // the focus is already on the default button
    case WM_COMMAND:
        ButtonClick(LOWORD(wParam));
        return TRUE;
    case WM_DESTROY:
        FormDestroy();
        return FALSE;
    default:
        return FALSE;
    }
}

void TMessageDialog::FormCreate() {
    registration_ = std::make_unique<ui::ScopedFormRegistration>(window_, kFormName);
    SetWindowTextA(window_, MessageCaption(kind_).c_str());
    LOGFONTA iconFont = IconFont();
    font_.reset(CreateFontIndirectA(&iconFont));
    LayOut();
    PlaceOnScreen();
}

void TMessageDialog::FormDestroy() {
    registration_.reset();
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
    EndDialog(window_, result);
}

TMessageDialog::Metrics TMessageDialog::Measure(HDC dc) const {
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

    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    const int maxTextWidth = std::max<int>(dluX(100), screenWidth * 5 / 8 - m.icon.cx);
    m.text = TextSize(dc, text_, kTextFormat, maxTextWidth);
    m.text.cx = std::min<LONG>(m.text.cx, maxTextWidth);

    m.buttonHeight = dluY(14);
    m.buttonGap = dluX(4);
    for (const MessageButtonInfo& b : buttonList_) {
        SIZE caption = TextSize(dc, b.caption, DT_SINGLELINE, 0);
        m.buttonWidths.push_back(std::max(dluX(50), static_cast<int>(caption.cx) + dluX(10)));
    }
    // A text taller than the screen is cut so that the buttons stay within reach.
    const int captionHeight =
        GetSystemMetrics(SM_CYCAPTION) + 2 * GetSystemMetrics(SM_CYFIXEDFRAME);
    const int maxTextHeight =
        screenHeight - captionHeight - 2 * m.marginY - m.gapY - m.buttonHeight - 4;
    m.text.cy = std::clamp<LONG>(m.text.cy, 0, std::max(unitY, maxTextHeight));
    return m;
}

HWND TMessageDialog::AddControl(const char* windowClass, const std::string& text, DWORD style,
                                int id, const RECT& bounds) {
    HWND control = CreateWindowExA(
        0, windowClass, text.c_str(), WS_CHILD | WS_VISIBLE | style, bounds.left, bounds.top,
        bounds.right - bounds.left, bounds.bottom - bounds.top, window_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
    if (control && font_)
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    return control;
}

void TMessageDialog::LayOut() {
    HDC dc = GetDC(window_);
    HGDIOBJ previous = SelectObject(dc, font_ ? font_.get() : GetStockObject(DEFAULT_GUI_FONT));
    const Metrics m = Measure(dc);
    SelectObject(dc, previous);
    ReleaseDC(window_, dc);

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

    if (hasIcon) {
        HWND icon =
            AddControl("STATIC", "", SS_ICON, kIconId,
                       {m.marginX, m.marginY, m.marginX + m.icon.cx, m.marginY + m.icon.cy});
        SendMessageA(
            icon, STM_SETICON,
            reinterpret_cast<WPARAM>(LoadIconA(nullptr, StockIconName(MessageIconOf(kind_)))), 0);
    }
    const int textTop = m.marginY + (m.text.cy < m.icon.cy ? (m.icon.cy - m.text.cy) / 2 : 0);
    AddControl("STATIC", text_, SS_LEFT | SS_NOPREFIX | SS_EDITCONTROL, kTextId,
               {textLeft, textTop, textLeft + m.text.cx, textTop + m.text.cy});

    const int defaultResult = DefaultMessageResult(buttons_);
    HWND focus = nullptr;
    int x = (clientWidth - buttonsWidth) / 2;
    for (std::size_t i = 0; i < buttonList_.size(); ++i) {
        const MessageButtonInfo& b = buttonList_[i];
        const bool isDefault = b.result != MessageResult::None && b.result == defaultResult;
        const int id = b.result == MessageResult::None ? kHelpId : b.result;
        DWORD style = WS_TABSTOP | (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        if (i == 0)
            style |= WS_GROUP;
        HWND button =
            AddControl("BUTTON", b.caption, style, id,
                       {x, buttonsTop, x + m.buttonWidths[i], buttonsTop + m.buttonHeight});
        if (isDefault || !focus)
            focus = button;
        x += m.buttonWidths[i] + m.buttonGap;
    }
    if (defaultResult != MessageResult::None)
        SendMessageA(window_, DM_SETDEFID, defaultResult, 0);
    if (focus)
        SetFocus(focus);

    RECT frame{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongA(window_, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongA(window_, GWL_EXSTYLE)));
    SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TMessageDialog::PlaceOnScreen() {
    RECT r{};
    GetWindowRect(window_, &r);
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    ScreenPoint corner = CentredOnScreen(width, height, screenWidth, screenHeight);
    RECT ownerRect{};
    if (owner_ && GetWindowRect(owner_, &ownerRect)) {
        corner = CentredOver({ownerRect.left, ownerRect.top, ownerRect.right, ownerRect.bottom},
                             width, height);
        corner = ClampToScreen(corner, width, height, screenWidth, screenHeight);
    }
    SetWindowPos(window_, nullptr, corner.x, corner.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    KeepClearOfTaskbar(window_);
    if (MessagesStayOnTop)
        SetWindowPos(window_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TMessageDialog::ShowHelp() const {
    if (helpContext_ == 0)
        return;
    ShowHelpTopic(window_, static_cast<DWORD>(helpContext_));
}
