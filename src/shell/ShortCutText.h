// Hot keys as 16-bit shortcut values and as the text menus write them ("Ctrl+Alt+L").
// Portable: the keyboard layout's own key names come in through a lookup the caller supplies.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace shortcut {

// A shortcut value: the virtual-key code in the low byte, modifier flags above it.
using TShortCut = std::uint16_t;

constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;
constexpr TShortCut scKeyMask = 0x00FF;

// The keyboard layout's name of a virtual key, or empty text when it has none.
using KeyNameLookup = std::function<std::string(std::uint8_t vk)>;

// The name of a key alone: the fixed names ("A", "7", "F12", "BkSp", "PgDn", "Del", ...)
// first, then the layout's name. Empty when the key has no name.
std::string KeyName(std::uint8_t vk, const KeyNameLookup& layoutName = {});

// "Shift+", "Ctrl+", "Alt+" in that order, then the key's name. Empty for a value without a
// key or naming a key that has no name.
std::string ShortCutToText(TShortCut shortcut, const KeyNameLookup& layoutName = {});

// The inverse, ignoring case; the modifier prefixes may come in any order. Text that names
// no key ("なし", "", "Ctrl+") gives 0.
TShortCut TextToShortCut(std::string_view text, const KeyNameLookup& layoutName = {});

} // namespace shortcut
