// Base of the program's windows: one static window procedure that finds the object the
// window belongs to (captured at WM_NCCREATE) and forwards every message to it.
#pragma once

#include <windows.h>

#include <string>

namespace ui {

// How a window is created. The class is registered on first use with the shared procedure.
struct WindowSpec {
    const char* className = nullptr;
    std::string caption;
    DWORD style = WS_OVERLAPPEDWINDOW;
    DWORD exStyle = 0;
    int x = CW_USEDEFAULT;
    int y = CW_USEDEFAULT;
    int width = CW_USEDEFAULT;
    int height = CW_USEDEFAULT;
    HWND parent = nullptr;
    UINT classStyle = CS_DBLCLKS;
    HBRUSH background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    // A form registers under this name while its window exists; helper windows leave it empty.
    std::string formName;
};

class Window {
  public:
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    // Destroys the window when it still exists; the object no longer hears its last messages.
    virtual ~Window();

    // False when the platform refuses the window.
    bool Create(const WindowSpec& params);
    void Destroy();

    HWND Handle() const { return window_; }
    // The object that owns a window made by this base, or null.
    static Window* FromHandle(HWND window);

  protected:
    Window() = default;

    // Unpacks one message and calls the named handler. The default reflects owner drawing to
    // the control or menu concerned and leaves the rest to DefaultHandler.
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam);

  private:
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
    std::string formName_;
};

// Lets `message` through to `window` from programs of a lower integrity level, as
// ChangeWindowMessageFilterEx does (Windows 7 and later; elsewhere nothing is needed): a program
// run elevated would not hear it otherwise.
void AllowMessageFromLowerIntegrity(HWND window, UINT message);

} // namespace ui
