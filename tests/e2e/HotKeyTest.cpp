// The global hot key read from the settings at start: it starts the companion without
// arguments from anywhere; "なし" registers nothing.
#include "e2e/E2eSupport.h"

using namespace e2e;
using namespace testing_support;

namespace {

class HotKey : public E2eTest {};

} // namespace

TEST_F(HotKey, CtrlAltLStartsTheCompanionWithoutArguments) {
    WriteSettingText("Setting", "HotKey", "Ctrl+Alt+L");
    PakicoRun pakico;
    ASSERT_TRUE(pakico.Start());

    PressCtrlAltL();
    auto runs = pakico.WaitForMorva(1);
    ASSERT_EQ(1u, runs.size()) << "the hot key started nothing";
    EXPECT_EQ(pakico.Folder() + "Morva.exe", runs[0].commandLine);
    EXPECT_EQ("none", runs[0].listStatus);

    PressCtrlAltL();
    EXPECT_EQ(2u, pakico.WaitForMorva(2).size()) << "the hot key works more than once";
    // The program holds it: nobody else can take it meanwhile.
    EXPECT_FALSE(RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_ALT, 'L'));
}

TEST_F(HotKey, NoneRegistersNothing) {
    WriteSettingText("Setting", "HotKey", "なし");
    PakicoRun pakico;
    ASSERT_TRUE(pakico.Start());

    // The program registers its hot key before its icon shows. Nobody holds Ctrl+Alt+L: this
    // process can take it, and the chord comes here instead of starting the companion.
    ASSERT_TRUE(RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_ALT, 'L'));
    PressCtrlAltL();
    MSG message{};
    EXPECT_TRUE(WaitUntil(
        [&] { return PeekMessageA(&message, nullptr, WM_HOTKEY, WM_HOTKEY, PM_REMOVE) != 0; },
        kSettleMs));
    UnregisterHotKey(nullptr, 1);
    EXPECT_EQ(0u, pakico.MorvaRuns()) << "a key started the companion";

    // The companion can be started all the same: a double click on the icon does it.
    PostMessageA(pakico.Tray(), WM_USER + 1, 0, WM_LBUTTONDBLCLK);
    auto runs = pakico.WaitForMorva(1);
    ASSERT_EQ(1u, runs.size());
    EXPECT_EQ(pakico.Folder() + "Morva.exe", runs[0].commandLine);
}
