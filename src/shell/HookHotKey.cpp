// The hot-key component's hidden window and the keyboard layout's key names.
#include "shell/HookHotKey.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>

std::function<void(const std::exception&)> THookHotKey::ErrorReporter;

namespace {

const char kWindowClass[] = "PakicoHookHotKey";

void RegisterWindowClass(WNDPROC proc) {
    static const bool registered = [proc] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = kWindowClass;
        return RegisterClassA(&wc) != 0;
    }();
    (void)registered;
}

UINT HotKeyModifiers(shortcut::TShortCut value) {
    UINT modifiers = 0;
    if (value & shortcut::scAlt)
        modifiers |= MOD_ALT;
    if (value & shortcut::scCtrl)
        modifiers |= MOD_CONTROL;
    if (value & shortcut::scShift)
        modifiers |= MOD_SHIFT;
    return modifiers;
}

bool IsExtendedKey(std::uint8_t vk) {
    static const std::uint8_t extended[] = {
        VK_CANCEL, VK_PRIOR, VK_NEXT,     VK_END,      VK_HOME,   VK_LEFT,   VK_UP,
        VK_RIGHT,  VK_DOWN,  VK_SNAPSHOT, VK_INSERT,   VK_DELETE, VK_DIVIDE, VK_NUMLOCK,
        VK_LWIN,   VK_RWIN,  VK_APPS,     VK_RCONTROL, VK_RMENU};
    return std::find(std::begin(extended), std::end(extended), vk) != std::end(extended);
}

// Hands an error to the program's reporter; a reporter that fails itself is not let out either.
void Report(const std::exception& error) noexcept {
    try {
        if (THookHotKey::ErrorReporter)
            THookHotKey::ErrorReporter(error);
    } catch (...) {
    }
}

} // namespace

THookHotKey::THookHotKey(HWND owner) : owner_(owner) {
    RegisterWindowClass(&WindowProc);
    // A hidden top-level window: the oldest systems the program runs on have no message-only
    // windows.
    window_.reset(CreateWindowExA(0, kWindowClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), this));
}

THookHotKey::~THookHotKey() = default;

bool THookHotKey::Register(int id, shortcut::TShortCut value) {
    // Asked for no key at all, some systems would still take the combination.
    UINT vk = value & shortcut::scKeyMask;
    if (vk == 0 || !window_)
        return false;
    return RegisterHotKey(window_.get(), id, HotKeyModifiers(value), vk) != FALSE;
}

bool THookHotKey::Unregister(int id) {
    return UnregisterHotKey(window_.get(), id) != FALSE;
}

LRESULT CALLBACK THookHotKey::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<THookHotKey*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_NCDESTROY)
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    if (self && message == WM_HOTKEY) {
        self->HotKeyPressed(static_cast<int>(wParam));
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void THookHotKey::HotKeyPressed(int index) {
    if (!OnHotKey)
        return;
    try {
        if (Activate && owner_)
            SetForegroundWindow(owner_);
        OnHotKey(*this, index);
    } catch (const std::exception& e) {
        Report(e);
    } catch (...) {
        Report(std::runtime_error("unknown error"));
    }
}

std::string KeyboardLayoutKeyName(std::uint8_t vk) {
    UINT scanCode = MapVirtualKeyA(vk, 0 /* virtual key to scan code */);
    if (scanCode == 0)
        return {};
    LONG keyData = static_cast<LONG>(scanCode << 16);
    // Keys of the extended block share scan codes with the numeric pad; bit 24 tells them apart.
    if (IsExtendedKey(vk))
        keyData |= 1L << 24;
    char name[64] = {};
    int length = GetKeyNameTextA(keyData, name, sizeof name);
    return length > 0 ? std::string(name, static_cast<std::size_t>(length)) : std::string();
}
