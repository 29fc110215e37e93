// The hot-key component's hidden window and the keyboard layout's key names.
#include "shell/HookHotKey.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>

std::function<void(const std::exception&)> THookHotKey::ErrorReporter;
THookHotKey::RegisterFn THookHotKey::RegisterCall = ::RegisterHotKey;

namespace {

// Windows 7's MOD_NOREPEAT: a key held down gives one press, not one per auto-repeat.
constexpr UINT kModNoRepeat = 0x4000;

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

// The scan codes of the number pad's keys, fixed by the keyboard itself. Some systems map no
// scan code to the pad's digits (only to the keys they are with Num Lock off).
UINT NumberPadScanCode(std::uint8_t vk) {
    static const std::uint8_t digits[] = {0x52, 0x4F, 0x50, 0x51, 0x4B,
                                          0x4C, 0x4D, 0x47, 0x48, 0x49};
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9)
        return digits[vk - VK_NUMPAD0];
    return vk == VK_DECIMAL ? 0x53 : 0;
}

} // namespace

bool IsExtendedKey(std::uint8_t vk) {
    static const std::uint8_t extended[] = {
        VK_CANCEL, VK_PRIOR, VK_NEXT,     VK_END,      VK_HOME,   VK_LEFT,   VK_UP,
        VK_RIGHT,  VK_DOWN,  VK_SNAPSHOT, VK_INSERT,   VK_DELETE, VK_DIVIDE, VK_NUMLOCK,
        VK_LWIN,   VK_RWIN,  VK_APPS,     VK_RCONTROL, VK_RMENU};
    return std::find(std::begin(extended), std::end(extended), vk) != std::end(extended);
}

THookHotKey::THookHotKey(HWND owner)
    : owner_(owner),
      window_(
          "PakicoHookHotKey", WM_HOTKEY,
          [this](WPARAM id, LPARAM) { HotKeyPressed(static_cast<int>(id)); }, ErrorReporter) {}

THookHotKey::~THookHotKey() = default;

bool THookHotKey::Register(int id, shortcut::TShortCut value) {
    // Asked for no key at all, some systems would still take the combination.
    UINT vk = value & shortcut::scKeyMask;
    if (vk == 0 || !Handle())
        return false;
    // Without the flag keys held a little long send one press per auto-repeat, and each starts
    // the companion. Systems before Windows 7 refuse it.
    const UINT modifiers = HotKeyModifiers(value);
    if (RegisterCall(Handle(), id, modifiers | kModNoRepeat, vk))
        return true;
    if (GetLastError() == ERROR_HOTKEY_ALREADY_REGISTERED)
        return false;
    return RegisterCall(Handle(), id, modifiers, vk) != FALSE;
}

bool THookHotKey::Unregister(int id) {
    return UnregisterHotKey(Handle(), id) != FALSE;
}

void THookHotKey::HotKeyPressed(int index) {
    if (!OnHotKey)
        return;
    if (Activate && owner_)
        SetForegroundWindow(owner_);
    OnHotKey(*this, index);
}

std::string KeyboardLayoutKeyName(std::uint8_t vk) {
    UINT scanCode = MapVirtualKeyA(vk, 0 /* virtual key to scan code */);
    if (scanCode == 0)
        scanCode = NumberPadScanCode(vk);
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
