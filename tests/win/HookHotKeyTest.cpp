// The global hot key against the real system: registration, key presses, errors, release.
#include "shell/HookHotKey.h"
#include "support/ProgramRun.h"
#include "support/WinTestSupport.h"
#include "util/Errors.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <string>
#include <vector>

using namespace testing_support;
using shortcut::TextToShortCut;

namespace {

const shortcut::TShortCut kCtrlAltL = 0xC04C;

using testing_support::PumpMessages;

void Key(WORD vk, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, 0));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof input);
}

// Types Ctrl+Alt+L on the keyboard, as a person would.
void PressCtrlAltL() {
    Key(VK_CONTROL, false);
    Key(VK_MENU, false);
    Key('L', false);
    Key('L', true);
    Key(VK_MENU, true);
    Key(VK_CONTROL, true);
}

// A plain visible window; keyboard input needs some window of the program in front.
class TestWindow {
  public:
    explicit TestWindow(const char* title) {
        window_ = CreateWindowExA(0, "STATIC", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 200,
                                  100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    ~TestWindow() { DestroyWindow(window_); }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    HWND get() const { return window_; }
    void BringToFront() const {
        SetForegroundWindow(window_);
        WaitUntil(
            [&] {
                PumpMessages();
                return GetForegroundWindow() == window_;
            },
            2000);
    }

  private:
    HWND window_;
};

// Waits, pumping messages, until `count` presses have arrived (at most 5 s).
bool WaitForPresses(const std::vector<int>& presses, std::size_t count) {
    return WaitUntil(
        [&] {
            PumpMessages();
            return presses.size() >= count;
        },
        5000);
}

} // namespace

TEST(HookHotKey, CtrlAltLReachesOnHotKey) {
    TestWindow front("front");
    front.BringToFront();
    THookHotKey hotKey;
    EXPECT_TRUE(hotKey.Activate);
    std::vector<int> presses;
    hotKey.OnHotKey = [&](THookHotKey& sender, int index) {
        EXPECT_EQ(&hotKey, &sender);
        presses.push_back(index);
    };
    ASSERT_EQ(kCtrlAltL, TextToShortCut("Ctrl+Alt+L"));
    ASSERT_TRUE(hotKey.Register(1, kCtrlAltL));
    PressCtrlAltL();
    ASSERT_TRUE(WaitForPresses(presses, 1));
    EXPECT_EQ(std::vector<int>{1}, presses);
    EXPECT_TRUE(hotKey.Unregister(1));
}

// A key held a little long must not start the companion once per auto-repeat: the key is
// registered not to repeat, and as before where the system refuses that (before Windows 7).
// Wine takes the flag and repeats all the same, so the system is stood in for.
TEST(HookHotKey, RegistersTheKeyNotToRepeatWhereTheSystemCan) {
    const UINT kNoRepeat = 0x4000, kCtrlAlt = MOD_CONTROL | MOD_ALT;
    // The error of a call with the flag and of one without it (0: accepted), the modifiers
    // asked for in turn, and the result.
    const struct {
        DWORD flagged, plain;
        std::vector<UINT> asked;
        bool registered;
    } rows[] = {{0, 0, {kCtrlAlt | kNoRepeat}, true},
                {ERROR_INVALID_PARAMETER, 0, {kCtrlAlt | kNoRepeat, kCtrlAlt}, true},
                {ERROR_HOTKEY_ALREADY_REGISTERED, 1, {kCtrlAlt | kNoRepeat}, false}};
    const THookHotKey::RegisterFn system = THookHotKey::RegisterCall;
    for (const auto& row : rows) {
        std::vector<UINT> asked;
        THookHotKey::RegisterCall = [&](HWND, int id, UINT modifiers, UINT vk) -> BOOL {
            asked.push_back(id == 1 && vk == 'L' ? modifiers : 0);
            SetLastError(modifiers & kNoRepeat ? row.flagged : row.plain);
            return GetLastError() == 0;
        };
        THookHotKey hotKey;
        EXPECT_EQ(row.registered, hotKey.Register(1, kCtrlAltL));
        EXPECT_EQ(row.asked, asked);
    }
    THookHotKey::RegisterCall = system;
}

TEST(HookHotKey, ATakenCombinationIsRefused) {
    THookHotKey first;
    THookHotKey second;
    ASSERT_TRUE(first.Register(1, kCtrlAltL));
    EXPECT_FALSE(second.Register(1, kCtrlAltL));
    EXPECT_TRUE(second.Register(1, shortcut::scCtrl | shortcut::scAlt | 'K'));
    // Destroying a component releases what it still holds.
    {
        THookHotKey third;
        ASSERT_TRUE(third.Register(3, shortcut::scCtrl | shortcut::scAlt | 'J'));
    }
    EXPECT_TRUE(second.Register(3, shortcut::scCtrl | shortcut::scAlt | 'J'));
}

TEST(HookHotKey, NoKeyRegistersNothing) {
    THookHotKey hotKey;
    EXPECT_FALSE(hotKey.Register(1, TextToShortCut("なし")));
    EXPECT_FALSE(hotKey.Register(1, 0));
    EXPECT_FALSE(hotKey.Register(1, shortcut::scCtrl | shortcut::scAlt));
    EXPECT_FALSE(hotKey.Unregister(1));
}

TEST(HookHotKey, AFailingHandlerIsReportedAndTheKeyKeepsWorking) {
    TestWindow front("front");
    front.BringToFront();
    THookHotKey hotKey;
    std::vector<int> presses;
    std::vector<std::string> reports;
    THookHotKey::ErrorReporter = [&](const std::exception& e) { reports.push_back(e.what()); };
    hotKey.OnHotKey = [&](THookHotKey&, int index) {
        presses.push_back(index);
        if (presses.size() == 1)
            throw EAppError("Morva.exe が見つかりません");
    };
    ASSERT_TRUE(hotKey.Register(7, kCtrlAltL));
    PressCtrlAltL();
    ASSERT_TRUE(WaitForPresses(presses, 1));
    EXPECT_EQ(std::vector<std::string>{"Morva.exe が見つかりません"}, reports);
    PressCtrlAltL();
    EXPECT_TRUE(WaitForPresses(presses, 2));
    THookHotKey::ErrorReporter = nullptr;
    EXPECT_EQ((std::vector<int>{7, 7}), presses);
    EXPECT_EQ(1u, reports.size());
}

TEST(HookHotKey, UnregisterStopsTheKey) {
    TestWindow front("front");
    front.BringToFront();
    THookHotKey hotKey;
    std::vector<int> presses;
    hotKey.OnHotKey = [&](THookHotKey&, int index) { presses.push_back(index); };
    ASSERT_TRUE(hotKey.Register(1, kCtrlAltL));
    PressCtrlAltL();
    ASSERT_TRUE(WaitForPresses(presses, 1));
    ASSERT_TRUE(hotKey.Unregister(1));
    PressCtrlAltL();
    // Nothing may arrive; a second is far longer than a press takes to come through.
    for (DWORD start = GetTickCount(); GetTickCount() - start < 1000; Sleep(50))
        PumpMessages();
    EXPECT_EQ(std::vector<int>{1}, presses);
}

TEST(HookHotKey, ActivateBringsTheOwnerToTheFront) {
    TestWindow owner("owner");
    TestWindow other("other");
    THookHotKey hotKey(owner.get());
    std::vector<int> presses;
    std::vector<HWND> front;
    hotKey.OnHotKey = [&](THookHotKey&, int index) {
        presses.push_back(index);
        front.push_back(GetForegroundWindow());
    };
    ASSERT_TRUE(hotKey.Register(2, kCtrlAltL));

    other.BringToFront();
    ASSERT_EQ(other.get(), GetForegroundWindow());
    PressCtrlAltL();
    ASSERT_TRUE(WaitForPresses(presses, 1));
    EXPECT_EQ(owner.get(), front[0]);

    hotKey.Activate = false;
    other.BringToFront();
    ASSERT_EQ(other.get(), GetForegroundWindow());
    PressCtrlAltL();
    ASSERT_TRUE(WaitForPresses(presses, 2));
    EXPECT_EQ(other.get(), front[1]);
}

TEST(HookHotKey, KeyboardLayoutNamesKeysOutsideTheTable) {
    // Num Lock has a name in every layout; the left mouse button has no key at all.
    EXPECT_FALSE(KeyboardLayoutKeyName(VK_NUMLOCK).empty());
    EXPECT_EQ("", KeyboardLayoutKeyName(VK_LBUTTON));
    EXPECT_EQ("Ctrl+" + KeyboardLayoutKeyName(VK_NUMLOCK),
              shortcut::ShortCutToText(shortcut::scCtrl | VK_NUMLOCK, KeyboardLayoutKeyName));

    std::map<std::string, int> keysNamed;
    for (unsigned vk = 1; vk <= 0xFF; ++vk)
        ++keysNamed[shortcut::KeyName(static_cast<std::uint8_t>(vk), KeyboardLayoutKeyName)];
    // Text names a key again. Where the layout gives several keys one name (left, right and
    // plain Shift), the text stands for the first of them; any other name means its own key.
    int unique = 0;
    for (unsigned vk = 1; vk <= 0xFF; ++vk) {
        auto value = static_cast<shortcut::TShortCut>(shortcut::scCtrl | vk);
        std::string text = shortcut::ShortCutToText(value, KeyboardLayoutKeyName);
        if (text.empty())
            continue;
        shortcut::TShortCut parsed = TextToShortCut(text, KeyboardLayoutKeyName);
        EXPECT_EQ(text, shortcut::ShortCutToText(parsed, KeyboardLayoutKeyName));
        if (keysNamed[text.substr(5)] == 1) {
            ++unique;
            EXPECT_EQ(value, parsed) << text;
        }
    }
    EXPECT_GT(unique, 75); // the 75 fixed names and more from the layout
}
