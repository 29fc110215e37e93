// Shortcut text and shortcut values: the fixed key names, modifier order, parsing rules.
#include "shell/ShortCutText.h"

#include <gtest/gtest.h>

using namespace shortcut;

TEST(ShortCutText, FormatsModifiersInMenuOrder) {
    EXPECT_EQ("Ctrl+Alt+L", ShortCutToText(0xC04C));
    EXPECT_EQ("Shift+F12", ShortCutToText(scShift | 0x7B));
    EXPECT_EQ("Ctrl+Del", ShortCutToText(scCtrl | 0x2E));
    EXPECT_EQ("Shift+Ctrl+Alt+7", ShortCutToText(scAlt | scCtrl | scShift | '7'));
    EXPECT_EQ("F1", ShortCutToText(0x70));
    EXPECT_EQ("F24", ShortCutToText(0x87));
}

TEST(ShortCutText, ParsesWhatItFormats) {
    EXPECT_EQ(0xC04C, TextToShortCut("Ctrl+Alt+L"));
    EXPECT_EQ(scShift | 0x7B, TextToShortCut("Shift+F12"));
    EXPECT_EQ(scCtrl | 0x2E, TextToShortCut("Ctrl+Del"));
    // Every named key (26 letters, 10 digits, 24 function keys, 15 others) under six
    // modifier sets comes back as the same value.
    int named = 0;
    for (unsigned vk = 1; vk <= 0xFF; ++vk) {
        for (TShortCut mods : {0, 0x2000, 0x4000, 0x6000, 0x8000, 0xE000}) {
            auto value = static_cast<TShortCut>(mods | vk);
            std::string text = ShortCutToText(value);
            if (text.empty())
                continue;
            ++named;
            EXPECT_EQ(value, TextToShortCut(text)) << text;
        }
    }
    EXPECT_EQ(6 * (26 + 10 + 24 + 15), named);
}

TEST(ShortCutText, EveryFixedKeyName) {
    const std::pair<unsigned, const char*> names[] = {
        {0x08, "BkSp"}, {0x09, "Tab"},   {0x0D, "Enter"}, {0x1B, "Esc"},  {0x20, "Space"},
        {0x21, "PgUp"}, {0x22, "PgDn"},  {0x23, "End"},   {0x24, "Home"}, {0x25, "Left"},
        {0x26, "Up"},   {0x27, "Right"}, {0x28, "Down"},  {0x2D, "Ins"},  {0x2E, "Del"},
        {0x41, "A"},    {0x5A, "Z"},     {0x30, "0"},     {0x39, "9"},    {0x75, "F6"}};
    for (const auto& [vk, name] : names) {
        EXPECT_EQ(name, KeyName(static_cast<std::uint8_t>(vk)));
        EXPECT_EQ(vk, TextToShortCut(name)) << name;
    }
}

TEST(ShortCutText, ParsingIgnoresCaseAndModifierOrder) {
    EXPECT_EQ(0xC04C, TextToShortCut("ctrl+alt+l"));
    EXPECT_EQ(0xC04C, TextToShortCut("ALT+CTRL+L"));
    EXPECT_EQ(scShift | 0x21, TextToShortCut("shift+pgup"));
    EXPECT_EQ(0x08, TextToShortCut("bksp"));
}

TEST(ShortCutText, TextNamingNoKeyIsZero) {
    EXPECT_EQ(0, TextToShortCut("なし"));
    EXPECT_EQ(0, TextToShortCut(""));
    EXPECT_EQ(0, TextToShortCut("Ctrl+"));
    EXPECT_EQ(0, TextToShortCut("Ctrl+Alt+"));
    EXPECT_EQ(0, TextToShortCut("Ctrl+Alt+LL"));
    EXPECT_EQ(0, TextToShortCut("Ctrl-L"));
    EXPECT_EQ(0, TextToShortCut("F25"));
    // A double-byte character whose trail byte is 'L' (0x4C) is not the key L.
    EXPECT_EQ(0, TextToShortCut("Ctrl+\x83\x4C"));
    // Nothing to name: no key, or a key outside the table without a layout.
    EXPECT_EQ("", ShortCutToText(0));
    EXPECT_EQ("", ShortCutToText(scCtrl | scAlt));
    EXPECT_EQ("", ShortCutToText(scCtrl | 0x90));
}

TEST(ShortCutText, LayoutNamesKeysOutsideTheTable) {
    KeyNameLookup layout = [](std::uint8_t vk) -> std::string {
        if (vk == 0x90)
            return "Num Lock";
        if (vk == 0x13)
            return "Pause";
        if (vk == 0x41) // the table's name wins over the layout's
            return "Key A";
        return {};
    };
    EXPECT_EQ("Ctrl+Num Lock", ShortCutToText(scCtrl | 0x90, layout));
    EXPECT_EQ(scCtrl | 0x90, TextToShortCut("ctrl+num lock", layout));
    EXPECT_EQ(scAlt | 0x13, TextToShortCut("Alt+PAUSE", layout));
    EXPECT_EQ("Alt+A", ShortCutToText(scAlt | 0x41, layout));
    EXPECT_EQ(0, TextToShortCut("Key A", layout));
    EXPECT_EQ(0, TextToShortCut("Ctrl+Num Lock"));
}

TEST(ShortCutText, DoubleByteKeyNamesAreComparedWhole) {
    // "キ" is 83 4C and "ネ" 83 6C: their trail bytes are "L" and "l", which are no letters here.
    KeyNameLookup layout = [](std::uint8_t vk) -> std::string {
        return vk == 0xE5 ? "キ" : std::string();
    };
    EXPECT_EQ(scAlt | 0xE5, TextToShortCut("Alt+キ", layout));
    EXPECT_EQ(0, TextToShortCut("Alt+ネ", layout));
    EXPECT_EQ("Alt+キ", ShortCutToText(scAlt | 0xE5, layout));
}

TEST(ShortCutText, TheNumberPadsDigitWinsANameItShares) {
    // The layout names the number pad's 5 after its key, and so the key's other meaning with
    // Num Lock off (VK_CLEAR) too: the text of either means the digit, which the hot-key box
    // records with Num Lock on.
    KeyNameLookup layout = [](std::uint8_t vk) -> std::string {
        if (vk == 0x0C || vk == 0x65)
            return "Num 5";
        if (vk == 0x60)
            return "Num 0";
        return {};
    };
    EXPECT_EQ("Ctrl+Alt+Num 5", ShortCutToText(scCtrl | scAlt | 0x65, layout));
    EXPECT_EQ(scCtrl | scAlt | 0x65, TextToShortCut("Ctrl+Alt+Num 5", layout));
    EXPECT_EQ(scAlt | 0x60, TextToShortCut("Alt+Num 0", layout));
    // A name only one key has is that key, wherever it lies.
    KeyNameLookup clearOnly = [](std::uint8_t vk) -> std::string {
        return vk == 0x0C ? "Clear" : std::string();
    };
    EXPECT_EQ(scShift | 0x0C, TextToShortCut("Shift+Clear", clearOnly));
}
