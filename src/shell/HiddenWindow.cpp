// A hidden top-level window that hands one kind of message to a component.
#include "shell/HiddenWindow.h"

#include "util/Errors.h"

THiddenWindow::THiddenWindow(const char* className, UINT message, Handler handler,
                             const ErrorReporter& reporter)
    : reporter_(reporter) {
    AlsoHandle(message, std::move(handler));
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA existing{};
    if (!GetClassInfoA(instance, className, &existing)) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = &THiddenWindow::Procedure;
        wc.hInstance = instance;
        wc.lpszClassName = className;
        RegisterClassA(&wc);
    }
    // A hidden top-level window rather than a message-only one: the oldest systems the program
    // runs on know no message-only windows.
    window_ =
        CreateWindowExA(0, className, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, this);
}

THiddenWindow::~THiddenWindow() {
    if (window_)
        DestroyWindow(window_);
}

LRESULT CALLBACK THiddenWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<THiddenWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_NCDESTROY)
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    if (self)
        for (const auto& [handled, handler] : self->handlers_)
            if (message == handled) {
                self->Deliver(handler, wParam, lParam);
                return 0;
            }
    return DefWindowProcA(window, message, wParam, lParam);
}

void THiddenWindow::AlsoHandle(UINT message, Handler handler) {
    if (message != 0)
        handlers_.emplace_back(message, std::move(handler));
}

void THiddenWindow::Deliver(const Handler& handler, WPARAM wParam, LPARAM lParam) noexcept {
    try {
        try {
            handler(wParam, lParam);
        } catch (const std::exception& e) {
            if (reporter_)
                reporter_(e);
        } catch (...) {
            if (reporter_)
                reporter_(EAppError(kUnexpectedError));
        }
    } catch (...) {
        // A reporter that fails itself is not let out either.
    }
}
