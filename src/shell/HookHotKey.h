// System-wide hot keys: registered for a hidden window, reported through OnHotKey.
#pragma once

#include "shell/HiddenWindow.h"
#include "shell/ShortCutText.h"

#include <windows.h>

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>

class THookHotKey {
  public:
    using THotKeyEvent = std::function<void(THookHotKey& sender, int index)>;

    // `owner` is the window brought to the foreground before OnHotKey; it may be null.
    explicit THookHotKey(HWND owner = nullptr);
    // Destroys the hidden window, and with it any hot key still registered for it.
    ~THookHotKey();
    THookHotKey(const THookHotKey&) = delete;
    THookHotKey& operator=(const THookHotKey&) = delete;

    // Registers `shortcut` (virtual key in the low byte, 0x2000 Shift, 0x4000 Ctrl, 0x8000
    // Alt) under identifier `id`. True when the system accepted it; a shortcut without a key
    // is refused without asking the system. A key held down starts one press, not one per
    // auto-repeat; a system that does not know that rule takes the key without it.
    bool Register(int id, shortcut::TShortCut shortcut);
    bool Unregister(int id);

    // The hidden window the hot keys are registered for.
    HWND Handle() const { return window_.Handle(); }

    // Bring the owner to the foreground before OnHotKey.
    bool Activate = true;
    THotKeyEvent OnHotKey;

    // Where errors raised by OnHotKey go; the window procedure never lets them out.
    // The program points it at its error box; by default they are dropped.
    static std::function<void(const std::exception&)> ErrorReporter;

    // The platform's registration, which tests replace to see what is asked of it and to stage
    // a system that refuses MOD_NOREPEAT (Wine takes the flag and repeats all the same).
    using RegisterFn = std::function<BOOL(HWND window, int id, UINT modifiers, UINT vk)>;
    static RegisterFn RegisterCall;

  private:
    void HotKeyPressed(int index);

    HWND owner_;
    THiddenWindow window_;
};

// The keyboard layout's name of a virtual key ("Num Lock", "Pause"), empty when it has none:
// the lookup for shortcut::ShortCutToText and TextToShortCut on this system. The number pad's
// keys are named after their keys whether or not the system maps them to a scan code.
std::string KeyboardLayoutKeyName(std::uint8_t vk);

// Whether a virtual key lies in the keyboard's extended block (the grey Home, the arrows,
// Del, ...), which shares its scan codes with the number pad.
bool IsExtendedKey(std::uint8_t vk);
