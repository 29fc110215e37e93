// Base of the program's windows.
#include "ui/Window.h"

#include "ui/ErrorReport.h"
#include "ui/FormRegistry.h"
#include "ui/OwnerDraw.h"
#include "util/ScopedWin.h"

namespace ui {

namespace {
void RegisterClassOnce(const WindowSpec& params, WNDPROC procedure) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA existing = {};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExA(instance, params.className, &existing))
        return;
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.style = params.classStyle;
    wc.lpfnWndProc = procedure;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = params.background;
    wc.lpszClassName = params.className;
    RegisterClassExA(&wc);
}
} // namespace

Window::~Window() {
    if (window_) {
        // The derived part is gone already: detach first so the last messages go to the
        // platform's default handling instead of a half-destroyed object.
        HWND window = window_;
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        UnregisterForm(window);
        window_ = nullptr;
        DestroyWindow(window);
    }
}

bool Window::Create(const WindowSpec& params) {
    if (window_)
        return false;
    RegisterClassOnce(params, &Window::WindowProcedure);
    formName_ = params.formName;
    HWND window = CreateWindowExA(params.exStyle, params.className, params.caption.c_str(),
                                  params.style, params.x, params.y, params.width, params.height,
                                  params.parent, nullptr, GetModuleHandleA(nullptr), this);
    return window != nullptr;
}

void Window::Destroy() {
    if (window_)
        DestroyWindow(window_);
}

Window* Window::FromHandle(HWND window) {
    if (!window)
        return nullptr;
    WNDPROC procedure = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
    if (procedure != &Window::WindowProcedure)
        return nullptr;
    return reinterpret_cast<Window*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (ReflectOwnerDraw(window_, message, lParam))
        return TRUE;
    return DefaultHandler(message, wParam, lParam);
}

LRESULT Window::DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window_, message, wParam, lParam);
}

LRESULT CALLBACK Window::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* self = nullptr;
    if (message == WM_NCCREATE) {
        self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        if (!self->formName_.empty())
            RegisterForm(window, self->formName_);
    } else {
        self = reinterpret_cast<Window*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    }
    if (!self)
        return DefWindowProcA(window, message, wParam, lParam);
    return self->Dispatch(message, wParam, lParam);
}

LRESULT Window::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    // A failed handler is reported and the message counts as handled; window creation goes on
    // so that the window still shows.
    LRESULT result = message == WM_NCCREATE ? TRUE : 0;
    RunGuarded([&] { result = HandleMessage(message, wParam, lParam); });
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
        UnregisterForm(window_);
        window_ = nullptr;
    }
    return result;
}

void AllowMessageFromLowerIntegrity(HWND window, UINT message) {
    using Fn = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
    constexpr DWORD kAllow = 1; // MSGFLT_ALLOW
    static const auto allow =
        win::FunctionIn<Fn>(GetModuleHandleA("user32.dll"), "ChangeWindowMessageFilterEx");
    if (allow)
        allow(window, message, kAllow, nullptr);
}

} // namespace ui
