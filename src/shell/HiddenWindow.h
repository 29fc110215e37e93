// A hidden top-level window that hands one kind of message to a component: the
// notification-area icon and the hot key each need a window of their own to be told things.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <utility>
#include <vector>

class THiddenWindow {
  public:
    using Handler = std::function<void(WPARAM wParam, LPARAM lParam)>;
    using ErrorReporter = std::function<void(const std::exception&)>;

    // Messages numbered `message` go to `handler`; every other one to the platform. An error
    // the handler raises goes to `reporter` (read at the time, so it can be set later) and
    // never unwinds into the platform.
    THiddenWindow(const char* className, UINT message, Handler handler,
                  const ErrorReporter& reporter);
    ~THiddenWindow();
    THiddenWindow(const THiddenWindow&) = delete;
    THiddenWindow& operator=(const THiddenWindow&) = delete;

    HWND Handle() const { return window_; }
    // Messages numbered `message` go to `handler` too, with the same error rule.
    void AlsoHandle(UINT message, Handler handler);

  private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Deliver(const Handler& handler, WPARAM wParam, LPARAM lParam) noexcept;

    std::vector<std::pair<UINT, Handler>> handlers_;
    const ErrorReporter& reporter_;
    HWND window_ = nullptr;
};
