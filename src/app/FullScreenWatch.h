// Keeps the cat on top, except while full-screen work of another program is in front on its
// monitor: then the cat steps behind that window, without moving, hiding or changing otherwise.
#pragma once

#include "shell/HiddenWindow.h"
#include "util/ScopedWin.h"

#include <windows.h>

#include <exception>
#include <functional>

class TFullScreenWatch {
  public:
    // Watches for `window` (topmost when it is made) and puts it in place at once.
    explicit TFullScreenWatch(HWND window);
    ~TFullScreenWatch();
    TFullScreenWatch(const TFullScreenWatch&) = delete;
    TFullScreenWatch& operator=(const TFullScreenWatch&) = delete;

    // Looks at the foreground window and the platform's state and puts the window on top or
    // behind. The platform's notices call it; a regular tick confirms with it.
    void Check();
    // The window has stepped aside.
    bool SteppedAside() const { return aside_; }
    // It has stepped aside and another program's window is in front: a new window of this
    // program would come over that work.
    bool OtherWorkInFront() const;
    // Runs when the window comes back on top after it stepped aside.
    std::function<void()> OnComeBack;

    // Where errors raised while handling a notice go; the program points it at its error box.
    static std::function<void(const std::exception&)> ErrorReporter;

  private:
    static void CALLBACK WinEvent(HWINEVENTHOOK hook, DWORD event, HWND window, LONG object,
                                  LONG child, DWORD thread, DWORD time);
    void Notice(HWINEVENTHOOK hook, HWND window, LONG object);
    // Follows the window the cat stepped behind: when it ends, hides or moves, the cat looks
    // again at once. Null follows nothing.
    void Follow(HWND cover);
    void StepAside(HWND cover);
    void ComeBack();

    HWND window_;
    bool aside_ = false;
    // Told when this program gains or loses the foreground, and of the shell's notices.
    THiddenWindow notices_;
    bool shellHookRegistered_ = false;
    HWINEVENTHOOK foregroundHook_ = nullptr;
    HWINEVENTHOOK coverEndHook_ = nullptr, coverMoveHook_ = nullptr;
    HWND followed_ = nullptr;
    // The shell, for its notification state; systems before Windows Vista have none.
    win::ScopedModule shell_;
    HRESULT(WINAPI* queryState_)(int* state) = nullptr;
};
