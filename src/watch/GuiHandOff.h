// Carries reports from worker threads to the GUI thread, where their handler runs.
#pragma once

#include "util/ScopedWin.h"

#include <windows.h>

#include <exception>
#include <functional>
#include <memory>

namespace watch {

// Owns a hidden message-only window created on the thread that constructs it (the GUI
// thread); the handler always runs there, from the thread's message loop or any modal loop.
//
// A worker's Call is delivered as a sent message (SendNotifyMessage), which every message
// loop dispatches before posted input, and the worker then waits until the handler has
// returned, or until its cancel event is set. A plain SendMessage could not be cancelled:
// the GUI thread, waiting for the worker to end, and the worker, waiting in SendMessage for
// the GUI thread, would wait for each other for ever. With the cancel event in the worker's
// wait, the owner ends a worker by setting that event and joining it, without pumping
// messages, even from inside the handler itself.
class TGuiHandOff {
  public:
    using THandler = std::function<void(WPARAM code, LPARAM data)>;
    using TErrorReporter = std::function<void(const std::exception&)>;

    // GUI thread. Raises EAppError when the window or the event cannot be made.
    explicit TGuiHandOff(THandler handler);
    // GUI thread. May run inside the handler: the window procedure notices and returns.
    ~TGuiHandOff();
    TGuiHandOff(const TGuiHandOff&) = delete;
    TGuiHandOff& operator=(const TGuiHandOff&) = delete;

    // Worker thread: runs the handler with `code` on the GUI thread and waits until it has
    // returned (true), or until `cancel` is set (false). One call at a time per hand-off.
    bool Call(WPARAM code, HANDLE cancel);

    // Any thread, no waiting: queues the handler with `code` and `data`. A window that no
    // longer exists drops it, so a thread that outlives its owner may still use the handle.
    static void Post(HWND window, WPARAM code, LPARAM data);
    HWND Window() const { return window_; }

    // GUI thread: no handler runs from now on, not even for reports already queued.
    void Close() { closed_ = true; }

    // Errors that escape a handler are caught in the window procedure (nothing unwinds into
    // the platform) and passed here on the GUI thread. The program sets its error box here;
    // until then they are only written to the debugger output.
    static void SetErrorReporter(TErrorReporter reporter);

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Dispatch(UINT message, WPARAM code, LPARAM data);

    THandler handler_;
    HWND window_ = nullptr;
    win::ScopedHandle done_;
    bool closed_ = false;
    // Set to false when the object is destroyed, which a handler may do; the window procedure
    // checks it before touching the object again.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace watch
