// The hidden window that runs workers' reports on the GUI thread.
#include "watch/GuiHandOff.h"

#include "util/Errors.h"
#include "watch/ChangeWatch.h"

namespace watch {

namespace {

const char kClassName[] = "PakicoGuiHandOff";

// Registered messages: a window of another program that happens to get a stale handle's
// message does not know them and ignores them.
UINT CallMessage() {
    static const UINT message = RegisterWindowMessageA("PakicoGuiHandOff.Call");
    return message;
}
UINT PostedMessage() {
    static const UINT message = RegisterWindowMessageA("PakicoGuiHandOff.Post");
    return message;
}

TGuiHandOff::TErrorReporter& ErrorReporter() {
    static TGuiHandOff::TErrorReporter reporter;
    return reporter;
}

void ReportError(const std::exception& error) {
    try {
        if (ErrorReporter())
            ErrorReporter()(error);
        else
            OutputDebugStringA(error.what());
    } catch (...) {
        // The reporter itself failed; there is nobody left to tell.
    }
}

} // namespace

TGuiHandOff::TGuiHandOff(THandler handler)
    : handler_(std::move(handler)), done_(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {
    if (!done_ || !CallMessage() || !PostedMessage())
        RaiseLastError();
    HINSTANCE instance = GetModuleHandleA(nullptr);
    static const ATOM registered = [instance] {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = &TGuiHandOff::WindowProc;
        windowClass.hInstance = instance;
        windowClass.lpszClassName = kClassName;
        return RegisterClassA(&windowClass);
    }();
    if (!registered)
        RaiseLastError();
    window_ =
        CreateWindowExA(0, kClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, this);
    // Systems older than Windows 2000 have no message-only windows; a top-level window that
    // is never shown serves as well there.
    if (!window_)
        window_ = CreateWindowExA(0, kClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                  instance, this);
    if (!window_)
        RaiseLastError();
}

TGuiHandOff::~TGuiHandOff() {
    *alive_ = false;
    SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
}

bool TGuiHandOff::Call(WPARAM code, HANDLE cancel) {
    ResetEvent(done_.get());
    if (!SendNotifyMessageA(window_, CallMessage(), code, 0))
        return false;
    HANDLE waits[] = {cancel, done_.get()};
    return WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0 + 1;
}

void TGuiHandOff::Post(HWND window, WPARAM code, LPARAM data) {
    SendNotifyMessageA(window, PostedMessage(), code, data);
}

void TGuiHandOff::SetErrorReporter(TErrorReporter reporter) {
    ErrorReporter() = std::move(reporter);
}

LRESULT CALLBACK TGuiHandOff::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<TGuiHandOff*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self && (message == CallMessage() || message == PostedMessage())) {
        self->Dispatch(message, wParam, lParam);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void TGuiHandOff::Dispatch(UINT message, WPARAM code, LPARAM data) {
    std::shared_ptr<bool> alive = alive_;
    if (!closed_ && handler_) {
        // A copy: the handler may destroy this object, and with it handler_.
        THandler handler = handler_;
        try {
            handler(code, data);
        } catch (const std::exception& error) {
            ReportError(error);
        } catch (...) {
            ReportError(EAppError(kUnexpectedError));
        }
    }
    if (*alive && message == CallMessage())
        SetEvent(done_.get());
}

} // namespace watch
