// The cat on the desktop after a start: where it sits, its shape, its picture, its icon in the
// notification area, one copy only, and the resting picture when the companion is missing.
#include "e2e/E2eSupport.h"

#include <atomic>
#include <cctype>
#include <set>
#include <thread>

using namespace e2e;
using namespace testing_support;

namespace {

class IconWindowStart : public E2eTest {};

bool InsideOutline(HWND window, int x, int y) {
    HRGN outline = CreateRectRgn(0, 0, 0, 0);
    bool inside = GetWindowRgn(window, outline) != ERROR && PtInRegion(outline, x, y);
    DeleteObject(outline);
    return inside;
}

// The libraries named in a program's import table, which the platform loads and starts before
// the program's first instruction; in upper case, empty when the program cannot be mapped.
std::set<std::string> LoadTimeImports(const std::string& path) {
    std::set<std::string> names;
    // Mapped as an image, nothing of it run and none of its imports loaded.
    HMODULE module = LoadLibraryExA(path.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
    if (!module)
        return names;
    auto base = reinterpret_cast<const BYTE*>(module);
    auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    auto nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& table =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (table.VirtualAddress != 0)
        for (auto entry =
                 reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + table.VirtualAddress);
             entry->Name != 0; ++entry) {
            std::string name(reinterpret_cast<const char*>(base + entry->Name));
            for (char& c : name)
                c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            names.insert(name);
        }
    FreeLibrary(module);
    return names;
}

} // namespace

TEST_F(IconWindowStart, FirstStartShowsTheReadyCatAtOneOneWithItsIcon) {
    PakicoRun pakico;
    ASSERT_TRUE(pakico.Start());
    HWND cat = pakico.Main();

    RECT frame = pakico.Frame();
    EXPECT_EQ(1, frame.left);
    EXPECT_EQ(1, frame.top);
    EXPECT_EQ(kCatWidth, frame.right - frame.left);
    EXPECT_EQ(kCatHeight, frame.bottom - frame.top);
    EXPECT_TRUE(GetWindowLongA(cat, GWL_EXSTYLE) & WS_EX_TOPMOST);

    char caption[64] = "";
    SendMessageTimeoutA(cat, WM_GETTEXT, sizeof caption, reinterpret_cast<LPARAM>(caption),
                        SMTO_ABORTIFHUNG, 2000, nullptr);
    EXPECT_STREQ("Pakico", caption);

    // Shaped: the outline has an inside, the cat's middle is in it and the corner is not.
    HRGN outline = CreateRectRgn(0, 0, 0, 0);
    int kind = GetWindowRgn(cat, outline);
    RECT box{};
    GetRgnBox(outline, &box);
    DeleteObject(outline);
    EXPECT_TRUE(kind == SIMPLEREGION || kind == COMPLEXREGION) << "region kind " << kind;
    EXPECT_FALSE(IsRectEmpty(&box));
    EXPECT_TRUE(InsideOutline(cat, kCatWidth / 2, kCatHeight / 2));
    EXPECT_FALSE(InsideOutline(cat, 0, 0));
    EXPECT_FALSE(InsideOutline(cat, kCatWidth - 1, 0));

    EXPECT_TRUE(pakico.WaitForLayer("CoolForm1", kSettleMs)) << pakico.Layer();
    // One more tick of the refresh timer keeps the ready picture.
    Sleep(1500);
    EXPECT_EQ("CoolForm1", pakico.Layer());
    EXPECT_TRUE(pakico.Screenshot("ready.bmp"));

    EXPECT_EQ(1u, TopWindows("PakicoTaskTrayIcon", pakico.ProcessId()).size());
    // The hint comes with the common controls, after the first picture.
    EXPECT_EQ("ここにドロップすると圧縮・解凍ができます。", HintShownOver(pakico.ProcessId(), cat));

    // Before its first picture the program loads only what drawing it needs; the common
    // controls, OLE, the shell and the rest load at their first use.
    const std::set<std::string> atStart = {"ADVAPI32.DLL", "GDI32.DLL", "KERNEL32.DLL",
                                           "MSVCRT.DLL", "USER32.DLL"};
    EXPECT_EQ(atStart, LoadTimeImports(pakico.Folder() + "Pakico.exe"));
}

namespace {

// A person moves the cat by pressing the left button on it and dragging.
void DragCatBy(PakicoRun& pakico, POINT by) {
    const POINT from = pakico.Centre();
    SendPointer(MOUSEEVENTF_MOVE, from);
    Sleep(100);
    SendPointer(MOUSEEVENTF_LEFTDOWN, from);
    Sleep(200);
    for (int step = 1; step <= 10; ++step) {
        SendPointer(MOUSEEVENTF_MOVE, {from.x + by.x * step / 10, from.y + by.y * step / 10});
        Sleep(40);
    }
    SendPointer(MOUSEEVENTF_LEFTUP, {from.x + by.x, from.y + by.y});
}

void ExpectSavedPlace(LONG x, LONG y) {
    DWORD left = 0, top = 0;
    EXPECT_TRUE(ReadSettingNumber("Dialog\\Pakico", "Left", left) && left == DWORD(x)) << left;
    EXPECT_TRUE(ReadSettingNumber("Dialog\\Pakico", "Top", top) && top == DWORD(y)) << top;
}
} // namespace

// The cat follows the pointer and keeps its new place at the end, also when it came back from a
// monitor that is no longer there. Pressing the cat starts nothing.
TEST_F(IconWindowStart, TheCatFollowsALeftDragAndKeepsItsNewPlace) {
    SaveCatPlace(5000, 300);
    PakicoRun pakico;
    ASSERT_TRUE(pakico.Start());
    const RECT start = pakico.Frame();
    const POINT by{120, 80};
    DragCatBy(pakico, by);
    EXPECT_TRUE(WaitUntil([&] { return pakico.Frame().left == start.left + by.x; }, kSettleMs))
        << "at " << pakico.Frame().left << "," << pakico.Frame().top;
    EXPECT_EQ(start.top + by.y, pakico.Frame().top);
    EXPECT_EQ(kCatWidth, pakico.Frame().right - pakico.Frame().left);
    EXPECT_EQ("CoolForm1", pakico.Layer());

    ASSERT_TRUE(pakico.ChooseEnd());
    EXPECT_EQ(0, pakico.WaitForExit(10000));
    EXPECT_EQ(0u, pakico.MorvaRuns()) << "pressing the cat started the companion";
    ExpectSavedPlace(start.left + by.x, start.top + by.y);
}

// The session ends (log-off, shut-down) without the window being closed: the place is kept as
// at an orderly end, and the system ends the program. Asked by the Restart Manager (an installer
// replacing a library it holds), the program keeps its place the same way and ends itself, also
// with a box of its own open.
TEST_F(IconWindowStart, LoggingOffKeepsThePlace) {
    SaveCatPlace(400, 300);
    PakicoRun pakico;
    ASSERT_TRUE(pakico.Start());
    DragCatBy(pakico, {-150, 60});
    ASSERT_TRUE(WaitUntil([&] { return pakico.Frame().left == 250; }, kSettleMs));

    DWORD_PTR answer = 0;
    ASSERT_TRUE(SendMessageTimeoutA(pakico.Main(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF,
                                    SMTO_ABORTIFHUNG, 5000, &answer));
    EXPECT_TRUE(answer) << "the program held up the end of the session";
    ASSERT_TRUE(SendMessageTimeoutA(pakico.Main(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF,
                                    SMTO_ABORTIFHUNG, 5000, &answer));
    ExpectSavedPlace(250, 360);

    DragCatBy(pakico, {50, -60});
    ASSERT_TRUE(WaitUntil([&] { return pakico.Frame().left == 300; }, kSettleMs));
    ASSERT_NE(nullptr, pakico.OpenTrayMenu());
    PressKey('A');
    ASSERT_TRUE(
        WaitUntil([&] { return FindDialog(pakico.ProcessId(), "About Pakico"); }, kSettleMs));
    for (UINT message : {WM_QUERYENDSESSION, WM_ENDSESSION})
        ASSERT_TRUE(SendMessageTimeoutA(pakico.Main(), message, TRUE, ENDSESSION_CLOSEAPP,
                                        SMTO_ABORTIFHUNG, 5000, &answer));
    EXPECT_EQ(0, pakico.WaitForExit(kSettleMs)) << "the program did not end";
    ExpectSavedPlace(300, 300);
}

// A step of the clean-up at the end fails (here the drop target's registration has gone from
// under the window): its message shows and waits to be read, and the rest of the clean-up, the
// saved place included, still happens.
TEST_F(IconWindowStart, AnErrorAtTheEndIsShownAndThePlaceStillKept) {
    SaveCatPlace(420, 310);
    PakicoRun pakico;
    ASSERT_TRUE(pakico.Start());
    ASSERT_TRUE(RemovePropA(pakico.Main(), "WineMarshalledDropTarget"))
        << "the drop target's registration could not be taken away";

    ASSERT_TRUE(pakico.ChooseEnd());
    HWND box = WaitForErrorBox(kSettleMs);
    ASSERT_NE(nullptr, box) << "no message at the end";
    Sleep(1500);
    EXPECT_TRUE(IsWindowVisible(box)) << "the message closed by itself";
    EXPECT_EQ("Failed to Unregister ArchiveCoolForm", AnswerErrorBox(box));
    EXPECT_EQ(0, pakico.WaitForExit(kSettleMs));
    ExpectSavedPlace(420, 310);
}

TEST_F(IconWindowStart, ARightClickOnTheReadyCatOpensItsMenu) {
    SaveCatPlace(400, 300);
    PakicoRun pakico;
    ASSERT_TRUE(pakico.Start());
    ASSERT_TRUE(pakico.WaitForLayer("CoolForm1", kSettleMs));
    RightClickAt(pakico.Centre());
    EXPECT_NE(nullptr, pakico.WaitForMenu(kSettleMs)) << "no menu on the ready cat";
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(pakico.WaitForMenuClosed(kSettleMs));
}

// A second start leaves one cat and one icon, and brings a hidden cat back: a person who
// starts the program again is looking for it.
TEST_F(IconWindowStart, ASecondStartLeavesOneCatAndOneIcon) {
    PakicoRun pakico;
    ASSERT_TRUE(pakico.Start());
    ASSERT_NE(nullptr, pakico.OpenTrayMenu());
    // "非表示(&H)" shares its letter with "ヘルプ(&H)": it is reached from "居場所(&P)" above it.
    PressKeys({'P', VK_ESCAPE, VK_DOWN, VK_RETURN});
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(pakico.Main()); }, kSettleMs));

    ProgramRun second(pakico.Folder() + "Pakico.exe");
    EXPECT_EQ(0, second.WaitForExit(kStartMs));
    Sleep(500);
    EXPECT_TRUE(pakico.Running());
    EXPECT_EQ(1u, TopWindows("TArchiveCoolForm").size());
    EXPECT_EQ(1u, TopWindows("PakicoTaskTrayIcon").size());
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(pakico.Main()) != FALSE; }, kSettleMs));
}

// Under another ANSI code page the program says so once at start, in wide text that shows
// under any code page, and then runs as ever; the next starts under that code page say nothing,
// and another code page (or a stored value of the wrong type) is told again. Wine gives a
// program started with LANG=C the code page 1252.
TEST_F(IconWindowStart, AnotherCodePageIsToldOnceThenTheCatRuns) {
    // The boxes of one start, answered; the program is ended again.
    auto start = [] {
        std::vector<std::string> boxes;
        PakicoRun pakico;
        pakico.UseUnixLocale("C");
        std::atomic<bool> up{false};
        std::thread answer([&] {
            for (std::string box; !(box = AnswerErrorBox(1000)).empty() || !up;)
                if (!box.empty())
                    boxes.push_back(box);
        });
        EXPECT_TRUE(pakico.Start());
        up = true;
        answer.join();
        EXPECT_TRUE(pakico.WaitForLayer("CoolForm1", kSettleMs)) << pakico.Layer();
        EXPECT_TRUE(pakico.ChooseEnd());
        EXPECT_EQ(0, pakico.WaitForExit(kSettleMs));
        return boxes;
    };
    const std::vector<std::string> first = start();
    ASSERT_EQ(1u, first.size());
    EXPECT_NE(std::string::npos, first[0].find("この Windows のコード ページは 1252 です。"))
        << first[0];
    EXPECT_NE(std::string::npos, first[0].find("this Windows uses code page 1252.")) << first[0];
    // Where Windows sets it, and that Windows must then restart.
    for (const char* part : {"[管理] タブの [システム ロケールの変更] で", "Windows を再起動して",
                             "[Change system locale]", "and restart Windows."})
        EXPECT_NE(std::string::npos, first[0].find(part)) << first[0];
    DWORD told = 0;
    EXPECT_TRUE(ReadSettingNumber("Dialog\\Pakico", "CodePageTold", told));
    EXPECT_EQ(1252u, told);
    EXPECT_TRUE(start().empty()) << "told again";
    WriteSettingNumber("Dialog\\Pakico", "CodePageTold", 65001);
    EXPECT_EQ(1u, start().size()) << "another code page";
    WriteSettingText("Dialog\\Pakico", "CodePageTold", "1252");
    EXPECT_EQ(1u, start().size()) << "a text";
}

TEST_F(IconWindowStart, ASavedPositionIsUsedUnchanged) {
    SaveCatPlace(333, 222);
    PakicoRun pakico;
    ASSERT_TRUE(pakico.Start());
    RECT frame = pakico.Frame();
    EXPECT_EQ(333, frame.left);
    EXPECT_EQ(222, frame.top);
}

TEST_F(IconWindowStart, WithoutTheCompanionTheCatRestsAndRefusesDrops) {
    SaveCatPlace(400, 300);
    PakicoRun pakico(PakicoRun::Layout{false, {"Unlha32.dll"}, ""});
    ASSERT_TRUE(pakico.Start());
    EXPECT_TRUE(pakico.WaitForLayer("CoolForm2", kSettleMs)) << pakico.Layer();
    Sleep(1500);
    EXPECT_EQ("CoolForm2", pakico.Layer()) << "the resting picture stays";
    EXPECT_TRUE(pakico.Screenshot("resting.bmp"));

    std::string archive = pakico.Scratch() + "backup.lzh";
    WriteFileBytes(archive, LzhBytes());
    std::string text = pakico.Scratch() + "memo.txt";
    WriteFileBytes(text, "memo");
    // The drag is refused as it enters and stays refused over the resting cat.
    for (const std::string& file : {archive, text}) {
        int effect = DragFiles({}, pakico.Centre(), {file});
        EXPECT_EQ(0, effect) << "the drop of " << file << " was taken";
        EXPECT_EQ("CoolForm2", pakico.Layer()) << "a refused drag changed the picture";
    }
    EXPECT_TRUE(pakico.WaitForLayer("CoolForm2", 2500)) << pakico.Layer();
    EXPECT_TRUE(pakico.Running());

    // The resting cat has no menu of its own.
    RightClickAt(pakico.Centre());
    EXPECT_EQ(nullptr, pakico.WaitForMenu(1500)) << "a menu opened on the resting cat";

    // The menu of the notification-area icon is still there.
    HWND menu = pakico.OpenTrayMenu();
    EXPECT_NE(nullptr, menu);
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(pakico.WaitForMenuClosed(kSettleMs));
}
