// Shortcut text <-> shortcut value, with the fixed key names menus use.
#include "shell/ShortCutText.h"

#include "util/Mbcs.h"

#include <array>

namespace shortcut {

namespace {

struct NamedKey {
    std::uint8_t vk;
    const char* name;
};

// Virtual-key codes of the keys that menus name themselves.
constexpr std::array<NamedKey, 15> kNamedKeys{{
    {0x08, "BkSp"},
    {0x09, "Tab"},
    {0x0D, "Enter"},
    {0x1B, "Esc"},
    {0x20, "Space"},
    {0x21, "PgUp"},
    {0x22, "PgDn"},
    {0x23, "End"},
    {0x24, "Home"},
    {0x25, "Left"},
    {0x26, "Up"},
    {0x27, "Right"},
    {0x28, "Down"},
    {0x2D, "Ins"},
    {0x2E, "Del"},
}};

constexpr std::uint8_t kF1 = 0x70;
// VK_NUMPAD0 ... VK_DIVIDE.
constexpr unsigned kNumberPadFirst = 0x60;
constexpr unsigned kNumberPadLast = 0x6F;
constexpr std::uint8_t kF24 = 0x87;

struct Modifier {
    TShortCut flag;
    std::string_view prefix; // lower case, for comparing against folded text
    const char* text;
};

constexpr std::array<Modifier, 3> kModifiers{{
    {scShift, "shift+", "Shift+"},
    {scCtrl, "ctrl+", "Ctrl+"},
    {scAlt, "alt+", "Alt+"},
}};

} // namespace

std::string KeyName(std::uint8_t vk, const KeyNameLookup& layoutName) {
    if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9'))
        return std::string(1, static_cast<char>(vk));
    if (vk >= kF1 && vk <= kF24)
        return "F" + std::to_string(vk - kF1 + 1);
    for (const NamedKey& key : kNamedKeys)
        if (key.vk == vk)
            return key.name;
    if (vk != 0 && layoutName)
        return layoutName(vk);
    return {};
}

std::string ShortCutToText(TShortCut shortcut, const KeyNameLookup& layoutName) {
    std::string name = KeyName(static_cast<std::uint8_t>(shortcut & scKeyMask), layoutName);
    if (name.empty())
        return {};
    std::string text;
    for (const Modifier& m : kModifiers)
        if (shortcut & m.flag)
            text += m.text;
    return text + name;
}

TShortCut TextToShortCut(std::string_view text, const KeyNameLookup& layoutName) {
    // Folding is double-byte aware, so a trail byte that looks like a letter stays as it is.
    const std::string folded = mbcs::AsciiLower(text);
    std::string_view rest = folded;
    TShortCut modifiers = 0;
    for (bool found = true; found;) {
        found = false;
        for (const Modifier& m : kModifiers)
            if (rest.starts_with(m.prefix)) {
                modifiers |= m.flag;
                rest.remove_prefix(m.prefix.size());
                found = true;
            }
    }
    if (rest.empty())
        return 0;
    // A key of the number pad means another key with Num Lock off (the 5 is VK_CLEAR then), and
    // the layout gives both the same name: the name means the pad's own key, the one the
    // hot-key box records with Num Lock on. So the pad is tried first.
    auto matches = [&](unsigned vk) {
        return mbcs::AsciiLower(KeyName(static_cast<std::uint8_t>(vk), layoutName)) == rest;
    };
    for (unsigned vk = kNumberPadFirst; vk <= kNumberPadLast; ++vk)
        if (matches(vk))
            return static_cast<TShortCut>(modifiers | vk);
    for (unsigned vk = 1; vk <= 0xFF; ++vk)
        if (matches(vk))
            return static_cast<TShortCut>(modifiers | vk);
    return 0;
}

} // namespace shortcut
