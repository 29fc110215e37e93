// Where a shortcut file goes and the shell's words for its hot key and window.
#include "shell/ShellLinkRules.h"

#include <gtest/gtest.h>

using namespace shelllink;

TEST(ShellLinkRules, FileNameInAFolderTakesOnlyTheNamePartAndGetsTheExtension) {
    struct Case {
        const char* name;
        bool inFolder;
        const char* expected;
    } cases[] = {
        {"Pakico", true, "C:\\Startup\\Pakico.lnk"},
        {"D:\\Other\\Pakico.lnk", true, "C:\\Startup\\Pakico.lnk"},
        {"x.LNK", true, "C:\\Startup\\x.LNK"},
        {"x.Lnk", false, "x.Lnk"},
        {"Pakico.exe", false, "Pakico.exe.lnk"},
        {"D:\\Other\\Pakico", false, "D:\\Other\\Pakico.lnk"},
        {".lnk", true, ""},
        {".LNK", false, ""},
        {"", false, ""},
        // A trail byte equal to '\' does not cut the name: "表" is 95 5C.
        {"\x95\x5C.lnk", true, "C:\\Startup\\\x95\x5C.lnk"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, LinkFileName(c.name, c.inFolder, "C:\\Startup")) << c.name;
}

TEST(ShellLinkRules, AnotherFolderMovesTheSameName) {
    EXPECT_EQ("C:\\Desktop\\Pakico.lnk",
              MovedLinkFileName("C:\\Startup\\Pakico.lnk", "C:\\Desktop"));
    // A folder the system does not name leaves only a separator in front: refused when saved.
    EXPECT_EQ("\\Pakico.lnk", MovedLinkFileName("Pakico.lnk", ""));
    EXPECT_FALSE(IsFullFilePath("\\Pakico.lnk"));
}

TEST(ShellLinkRules, HotKeyWordHasTheModifiersInItsHighByte) {
    const shortcut::TShortCut ctrlAltP = shortcut::scCtrl | shortcut::scAlt | 'P';
    EXPECT_EQ(0x0650, HotKeyWord(ctrlAltP));
    EXPECT_EQ(0x0342, HotKeyWord(shortcut::scShift | shortcut::scCtrl | 'B'));
    EXPECT_EQ(0x0041, HotKeyWord('A'));
    EXPECT_EQ(0, HotKeyWord(0));
    EXPECT_EQ(ctrlAltP, ShortCutOfHotKeyWord(0x0650));
    EXPECT_EQ(shortcut::scShift | 'A', ShortCutOfHotKeyWord(0x0141));
}

// A shortcut file holds any 16-bit word: every one is read and written back with its key and
// its Shift, Ctrl and Alt (0x07FF); the other flags of its high byte are not kept. Every
// shortcut value keeps its key and modifiers (0xE0FF) through the word.
TEST(ShellLinkRules, EveryHotKeyWordReadsBackWithItsKeyAndModifiers) {
    for (unsigned word = 0; word <= 0xFFFF && !HasFailure(); ++word)
        EXPECT_EQ(word & 0x07FF, HotKeyWord(ShortCutOfHotKeyWord(static_cast<std::uint16_t>(word))))
            << std::hex << word;
    for (unsigned value = 0; value <= 0xFFFF && !HasFailure(); ++value)
        EXPECT_EQ(value & 0xE0FF,
                  ShortCutOfHotKeyWord(HotKeyWord(static_cast<shortcut::TShortCut>(value))))
            << std::hex << value;
}

TEST(ShellLinkRules, WindowStatesAreShowCommands) {
    EXPECT_EQ(1, ShowCommandOf(TWindowState::wsNormal));
    EXPECT_EQ(7, ShowCommandOf(TWindowState::wsMinimized));
    EXPECT_EQ(3, ShowCommandOf(TWindowState::wsMaximized));
    EXPECT_EQ(TWindowState::wsMaximized, WindowStateOf(3));
    EXPECT_EQ(TWindowState::wsMinimized, WindowStateOf(7));
    EXPECT_EQ(TWindowState::wsNormal, WindowStateOf(2));
    EXPECT_EQ(TWindowState::wsNormal, WindowStateOf(1));
}

TEST(ShellLinkRules, OnlyFullPathsAreShortcutFileNames) {
    EXPECT_TRUE(IsFullFilePath("C:\\Startup\\Pakico.lnk"));
    EXPECT_TRUE(IsFullFilePath("z:\\a.lnk"));
    EXPECT_TRUE(IsFullFilePath("\\\\server\\share\\a.lnk"));
    EXPECT_FALSE(IsFullFilePath("Pakico.lnk"));
    EXPECT_FALSE(IsFullFilePath("C:Pakico.lnk"));
    EXPECT_FALSE(IsFullFilePath(""));
    EXPECT_FALSE(IsFullFilePath("1:\\a.lnk"));
}

// Task Manager's mark on a start-up shortcut: the low bit of the first byte turns it off (the
// time it was turned off follows); no value leaves it on, as a new shortcut is.
TEST(ShellLinkRules, StartupApprovedValuesTurningAShortcutOff) {
    const std::string time = std::string(3, '\0') + "\x10\x20\x30\x40\x50\x60\x70\x01";
    for (const char* on : {"\x02", "\x06", ""})
        EXPECT_FALSE(StartupApprovedTurnsOff(on + time)) << int(on[0]);
    for (const char* off : {"\x03", "\x07"})
        EXPECT_TRUE(StartupApprovedTurnsOff(off + time)) << int(off[0]);
    EXPECT_FALSE(StartupApprovedTurnsOff(""));
}
