// The notification-area icon: its record, the shell calls and the mouse table.
#include "shell/TaskTrayIcon.h"

#include "ui/Window.h"
#include "util/Errors.h"
#include "util/Mbcs.h"

#include <cstring>
#include <stdexcept>
#include <string_view>

// The first, 88-byte form of the record: every shell since the first one accepts it.
static_assert(NOTIFYICONDATAA_V1_SIZE == 88);

std::function<void(const std::exception&)> TTaskTrayIcon::ErrorReporter;

namespace {

TShiftState KeyShiftState() {
    TShiftState shift = 0;
    if (GetKeyState(VK_SHIFT) < 0)
        shift |= ssShift;
    if (GetKeyState(VK_MENU) < 0)
        shift |= ssAlt;
    if (GetKeyState(VK_CONTROL) < 0)
        shift |= ssCtrl;
    return shift;
}

TShiftState ButtonFlag(TMouseButton button) {
    switch (button) {
    case TMouseButton::mbLeft:
        return ssLeft;
    case TMouseButton::mbRight:
        return ssRight;
    case TMouseButton::mbMiddle:
        return ssMiddle;
    }
    return 0;
}

POINT CursorPos() {
    POINT p{};
    GetCursorPos(&p);
    return p;
}

// Runs the messages already waiting, as a menu owner must before its menu opens.
void ProcessPendingMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

} // namespace

std::function<void(HWND, UINT)> TTaskTrayIcon::AllowMessageCall =
    ui::AllowMessageFromLowerIntegrity;

TTaskTrayIcon::TTaskTrayIcon(HWND owner, HICON icon, const std::string& hint)
    : owner_(owner), window_(
                         "PakicoTaskTrayIcon", CallbackMessage,
                         [this](WPARAM, LPARAM mouseMessage) {
                             HandleTrayMessage(static_cast<UINT>(mouseMessage));
                         },
                         ErrorReporter) {
    if (icon)
        icon_.reset(CopyIcon(icon));
    hint_ = hint;

    std::memset(&record_, 0, sizeof record_);
    record_.cbSize = NOTIFYICONDATAA_V1_SIZE;
    record_.hWnd = Handle();
    record_.uID = 0;
    record_.uFlags = NIF_MESSAGE | NIF_ICON;
    record_.uCallbackMessage = CallbackMessage;
    record_.hIcon = icon_.get();
    SetTip(hint_);
    if (!Handle())
        throw EAppError(NotShownMessage);
    // A new taskbar (the shell restarted) knows no icons: it asks every program to add its own
    // again, or a hidden cat could be neither shown nor ended.
    const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    if (AllowMessageCall)
        AllowMessageCall(Handle(), taskbarCreated);
    window_.AlsoHandle(taskbarCreated, [this](WPARAM, LPARAM) {
        Add();
        if (OnTaskbarCreated)
            OnTaskbarCreated(*this);
    });
    added_ = Shell_NotifyIconA(NIM_ADD, &record_) != FALSE;
}

bool TTaskTrayIcon::Add() {
    added_ = Shell_NotifyIconA(NIM_MODIFY, &record_) || Shell_NotifyIconA(NIM_ADD, &record_);
    return added_;
}

// The window, the last member, goes first, while every member its procedure might touch still
// exists.
TTaskTrayIcon::~TTaskTrayIcon() {
    Shell_NotifyIconA(NIM_DELETE, &record_);
}

void TTaskTrayIcon::SetTip(const std::string& hint) {
    // Cut at a character boundary: a lead byte without its trail byte would show as garbage.
    std::string_view text = hint;
    std::size_t length = 0;
    while (length < text.size()) {
        std::size_t next = mbcs::NextChar(text, length);
        if (next > MaxHintBytes)
            break;
        length = next;
    }
    std::memset(record_.szTip, 0, sizeof record_.szTip);
    std::memcpy(record_.szTip, text.data(), length);
    if (length > 0)
        record_.uFlags |= NIF_TIP;
    else
        record_.uFlags &= ~NIF_TIP;
}

void TTaskTrayIcon::SetHint(const std::string& hint) {
    if (hint == hint_)
        return;
    hint_ = hint;
    SetTip(hint_);
    Shell_NotifyIconA(NIM_MODIFY, &record_);
}

void TTaskTrayIcon::SetIcon(HICON icon) {
    // The new copy is made before the old one goes, so the shell never holds a dead handle.
    win::ScopedIcon copy(icon ? CopyIcon(icon) : nullptr);
    record_.hIcon = copy.get();
    Shell_NotifyIconA(NIM_MODIFY, &record_);
    icon_ = std::move(copy);
}

void TTaskTrayIcon::ApplicationMinimized(HWND appWindow) {
    if (appWindow)
        ShowWindow(appWindow, SW_HIDE);
    if (OnMinimize)
        OnMinimize(*this);
}

void TTaskTrayIcon::ApplicationRestored(HWND appWindow) {
    if (appWindow)
        ShowWindow(appWindow, SW_RESTORE);
    if (OnRestore)
        OnRestore(*this);
}

void TTaskTrayIcon::HandleTrayMessage(UINT mouseMessage) {
    switch (mouseMessage) {
    case WM_MOUSEMOVE:
        if (OnMouseMove) {
            POINT p = CursorPos();
            OnMouseMove(*this, KeyShiftState(), p.x, p.y);
        }
        break;
    case WM_LBUTTONDOWN:
        MouseDown(TMouseButton::mbLeft);
        leftDown_ = true;
        break;
    case WM_LBUTTONUP:
        if (leftDown_) {
            leftDown_ = false;
            if (OnClick)
                OnClick(*this);
        }
        MouseUp(TMouseButton::mbLeft);
        break;
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
        if (OnDblClick)
            OnDblClick(*this);
        break;
    case WM_RBUTTONDOWN:
        MouseDown(TMouseButton::mbRight);
        ShowPopup();
        break;
    case WM_RBUTTONUP:
        MouseUp(TMouseButton::mbRight);
        break;
    case WM_MBUTTONDOWN:
        MouseDown(TMouseButton::mbMiddle);
        break;
    case WM_MBUTTONUP:
        MouseUp(TMouseButton::mbMiddle);
        break;
    default:
        break;
    }
}

void TTaskTrayIcon::MouseDown(TMouseButton button) {
    if (OnMouseDown) {
        POINT p = CursorPos();
        OnMouseDown(*this, button, KeyShiftState() | ButtonFlag(button), p.x, p.y);
    }
}

void TTaskTrayIcon::MouseUp(TMouseButton button) {
    if (OnMouseUp) {
        POINT p = CursorPos();
        OnMouseUp(*this, button, KeyShiftState() | ButtonFlag(button), p.x, p.y);
    }
}

void TTaskTrayIcon::ShowPopup() {
    if (!PopupMenu)
        return;
    // Without the foreground the menu gets no keys and does not close when clicked away from.
    if (owner_)
        SetForegroundWindow(owner_);
    ProcessPendingMessages();
    // A copy: the handler may replace PopupMenu while it runs (a modal window opened from the
    // menu changes what the icon offers).
    auto popup = PopupMenu;
    if (popup)
        popup(CursorPos());
}
