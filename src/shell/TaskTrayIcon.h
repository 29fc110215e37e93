// The program's icon in the taskbar's notification area: a hidden window that receives the
// shell's callback messages and turns them into mouse events.
#pragma once

#include "shell/HiddenWindow.h"
#include "shell/ShiftState.h"
#include "util/ScopedWin.h"

#include <windows.h>
#include <shellapi.h>

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

class TTaskTrayIcon {
  public:
    using TNotifyEvent = std::function<void(TTaskTrayIcon& sender)>;
    using TMouseEvent = std::function<void(TTaskTrayIcon& sender, TMouseButton button,
                                           TShiftState shift, int x, int y)>;
    using TMouseMoveEvent =
        std::function<void(TTaskTrayIcon& sender, TShiftState shift, int x, int y)>;
    // Shows the popup menu at a screen point; the menu itself belongs to the owner.
    using TPopupMenu = std::function<void(POINT where)>;

    // The shell's callback message for the icon.
    static constexpr UINT CallbackMessage = WM_USER + 1;
    // The longest tooltip, in bytes, that fits the record with its terminator.
    static constexpr std::size_t MaxHintBytes = 63;
    // What the user is told when the icon cannot be shown: whose icon, and where its menu is.
    static constexpr const char* NotShownMessage =
        "通知領域にパキコのアイコンを表示できません。\r\n"
        "パキコのメニューは、猫を右クリックすると開きます。";

    // Adds the icon (a copy of `icon`) with `hint` as its tooltip. `owner` is the window
    // brought to the foreground before the popup menu; it may be null. The shell may refuse
    // the icon for a while (it is busy in the first seconds after sign-in): Added() tells, and
    // Add() asks again. Throws EAppError when even the component's window cannot be made.
    TTaskTrayIcon(HWND owner, HICON icon, const std::string& hint);
    ~TTaskTrayIcon();
    TTaskTrayIcon(const TTaskTrayIcon&) = delete;
    TTaskTrayIcon& operator=(const TTaskTrayIcon&) = delete;

    // Whether the shell has taken the icon.
    bool Added() const { return added_; }
    // Asks the shell for the icon again; whether it has it now. A shell that answered too late
    // before may have the icon already: it is then not added a second time.
    bool Add();

    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& hint);
    // The component's own copy of the picture.
    HICON Icon() const { return icon_.get(); }
    void SetIcon(HICON icon);

    // The application was minimized: hides `appWindow` (its taskbar button), then OnMinimize.
    void ApplicationMinimized(HWND appWindow);
    // The application was restored: restores `appWindow`, then OnRestore.
    void ApplicationRestored(HWND appWindow);

    // The hidden window that receives the shell's messages.
    HWND Handle() const { return window_.Handle(); }
    // The record as last passed to the shell.
    const NOTIFYICONDATAA& Record() const { return record_; }

    TPopupMenu PopupMenu;
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TNotifyEvent OnMinimize;
    TNotifyEvent OnRestore;
    // A new taskbar (the shell started again) asked for the icon; Added() tells whether it has
    // it now.
    TNotifyEvent OnTaskbarCreated;

    // Where errors raised by the event handlers go; the window procedure never lets them out.
    // The program points it at its error box; by default they are dropped.
    static std::function<void(const std::exception&)> ErrorReporter;

    // Lets a message through to a window from programs of a lower integrity level
    // (ui::AllowMessageFromLowerIntegrity): run elevated, the program would not hear the shell's
    // "TaskbarCreated" otherwise. Tests replace it, since Wine filters nothing.
    static std::function<void(HWND window, UINT message)> AllowMessageCall;

  private:
    void HandleTrayMessage(UINT mouseMessage);
    void MouseDown(TMouseButton button);
    void MouseUp(TMouseButton button);
    void ShowPopup();
    void SetTip(const std::string& hint);

    HWND owner_;
    win::ScopedIcon icon_;
    std::string hint_;
    NOTIFYICONDATAA record_;
    bool leftDown_ = false;
    bool added_ = false;
    // Last, so that it is destroyed first.
    THiddenWindow window_;
};
