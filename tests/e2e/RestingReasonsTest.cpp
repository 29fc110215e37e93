// Why the cat rests, and what a failing start-up looks like, seen from outside.
#include "E2eSupport.h"

#include <atomic>
#include <optional>
#include <thread>
#include <vector>

using namespace e2e;
using namespace testing_support;

namespace {

class RestingReasons : public E2eTest {};

// Answers the error boxes of a start-up as they come; their messages in order. The first is
// waited for as long as a start takes, each further one for `quietMs`.
std::vector<std::string> AnswerStartErrorBoxes(unsigned quietMs) {
    std::vector<std::string> messages;
    for (std::string message = AnswerErrorBox(kStartMs); !message.empty();
         message = AnswerErrorBox(quietMs))
        messages.push_back(message);
    return messages;
}

// The refresh timer runs: without the companion the cat rests within a few ticks, and it is
// ready again once the companion is back.
void ExpectTheRefreshTimerRuns(PakicoRun& pakico) {
    const std::string companion = pakico.Folder() + "Morva.exe";
    const std::string away = pakico.Folder() + "Morva.away";
    ASSERT_TRUE(MoveFileA(companion.c_str(), away.c_str()));
    EXPECT_TRUE(pakico.WaitForLayer("CoolForm2", kSettleMs)) << "the refresh timer is not running";
    ASSERT_TRUE(MoveFileA(away.c_str(), companion.c_str()));
    ASSERT_TRUE(pakico.WaitForLayer("CoolForm1", kSettleMs)) << pakico.Layer();
}

std::string Joined(const std::vector<std::string>& items) {
    std::string out;
    for (const std::string& item : items)
        out += "[" + item + "]";
    return out;
}

} // namespace

TEST_F(RestingReasons, ABusyArchiverRestsTheCatButTakesDrops) {
    // Away from the corner where the drag source shows its own window.
    SaveCatPlace(400, 300);
    PakicoRun pakico(PakicoRun::Layout{true, {"Unlha32.dll"}, ""});
    SetStandinControl(pakico.Folder(), "Unlha32.dll", "running=1\r\n");
    ASSERT_TRUE(pakico.Start());
    EXPECT_TRUE(pakico.WaitForLayer("CoolForm2", kSettleMs)) << pakico.Layer();

    // While a library works, drops are still taken and handed over.
    std::string text = pakico.Scratch() + "note.txt";
    WriteFileBytes(text, "note");
    auto run = DropAndWait(pakico, {}, {text});
    ExpectHandOff(pakico, run, "/QA \\", {text});

    SetStandinControl(pakico.Folder(), "Unlha32.dll", "");
    EXPECT_TRUE(pakico.WaitForLayer("CoolForm1", kSettleMs)) << pakico.Layer();
}

// Read-only media where the companion's work folder should go: the error is shown, and every
// other step of the start still runs.
TEST_F(RestingReasons, AWorkFolderThatCannotBeMadeIsReportedAndEverythingElseStarts) {
    WriteSettingText("Setting", "HotKey", "Ctrl+Alt+L");
    PakicoRun pakico;
    // A file where the companion's work folder should be: the folder cannot be made.
    WriteFileBytes(pakico.Scratch() + "~MORVA(", "in the way");
    std::string base = pakico.Scratch().substr(0, pakico.Scratch().size() - 1);
    WriteSettingText("Setting", "WorkPath", base);

    std::vector<std::string> messages;
    std::thread answer([&] { messages = AnswerStartErrorBoxes(3000); });
    auto started = pakico.Start();
    answer.join();
    EXPECT_EQ(Joined({"作業フォルダが作成できません。フォルダ名 = " + base + "\\~MORVA("}),
              Joined(messages));
    ASSERT_TRUE(started);
    EXPECT_TRUE(IsWindowVisible(pakico.Main()));
    EXPECT_EQ("CoolForm1", pakico.Layer());
    EXPECT_NE(nullptr, pakico.Tray());

    // The steps after the work folder: the hot key, the refresh timer and the menus.
    PressCtrlAltL();
    EXPECT_EQ(1u, pakico.WaitForMorva(1).size()) << "the hot key was not registered";
    ExpectTheRefreshTimerRuns(pakico);
    EXPECT_TRUE(pakico.ChooseEnd());
    EXPECT_EQ(0, pakico.WaitForExit(kSettleMs));
}

// One broken value left in the shared registry tree by another program is shown, and the
// start goes on with its default: the cat still takes drops, changes its picture and answers
// its hot key.
TEST_F(RestingReasons, BrokenPositionValuesAreReportedAndTheRestStarts) {
    WriteSettingText("Dialog\\Pakico", "Left", "400");
    WriteSettingData("Dialog\\Pakico", "Top", REG_BINARY, std::string(8, '\x01'));
    WriteSettingText("Setting", "HotKey", "Ctrl+Alt+L");
    PakicoRun pakico;

    std::vector<std::string> messages;
    std::thread answer([&] { messages = AnswerStartErrorBoxes(3000); });
    auto started = pakico.Start();
    answer.join();
    ASSERT_TRUE(started);
    EXPECT_EQ(Joined({"'Left' のデータ型が不正です", "'Top' の取得に失敗しました"}),
              Joined(messages));
    RECT frame = pakico.Frame();
    EXPECT_EQ(1, frame.left);
    EXPECT_EQ(1, frame.top);

    // The steps after the position ran: the drop target, the hot key and the refresh timer.
    EXPECT_NE(nullptr, GetPropA(pakico.Main(), "OleDropTargetInterface"));
    PressCtrlAltL();
    EXPECT_EQ(1u, pakico.WaitForMorva(1).size()) << "the hot key was not registered";
    ExpectTheRefreshTimerRuns(pakico);

    // The position is written as a number again at the end.
    ASSERT_TRUE(pakico.ChooseEnd());
    EXPECT_EQ(0, pakico.WaitForExit(kSettleMs));
    DWORD left = 0, top = 0;
    EXPECT_TRUE(ReadSettingNumber("Dialog\\Pakico", "Left", left) && left == 1) << left;
    EXPECT_TRUE(ReadSettingNumber("Dialog\\Pakico", "Top", top) && top == 1) << top;
}

TEST_F(RestingReasons, BrokenHistoryAndHotKeyValuesAreReportedAndDropsStillWork) {
    SaveCatPlace(400, 300);
    WriteSettingText("History", "OpenCount", "ten");
    WriteSettingText("history\\ArchiveFile", "Count", "2");
    WriteSettingNumber("Setting", "HotKey", 76);
    PakicoRun pakico(PakicoRun::Layout{true, {"Unlha32.dll"}, ""});

    std::vector<std::string> messages;
    std::thread answer([&] { messages = AnswerStartErrorBoxes(3000); });
    auto started = pakico.Start();
    answer.join();
    ASSERT_TRUE(started);
    EXPECT_EQ(Joined({"'OpenCount' のデータ型が不正です", "'Count' のデータ型が不正です",
                      "'HotKey' のデータ型が不正です"}),
              Joined(messages));

    std::string archive = pakico.Scratch() + "backup.lzh";
    WriteFileBytes(archive, LzhBytes());
    auto run = DropAndWait(pakico, {}, {archive});
    ExpectHandOff(pakico, run, "/QE \\", {archive});
    EXPECT_TRUE(pakico.WaitForLayer("CoolForm1", kSettleMs)) << pakico.Layer();

    // The menu reads the history length and the lists each time it opens: the errors are
    // shown again, and the menu still opens, so the program can always be ended from it.
    std::vector<std::string> menuMessages;
    std::thread answerMenu([&] { menuMessages = AnswerStartErrorBoxes(3000); });
    HWND menu = pakico.OpenTrayMenu(kStartMs);
    answerMenu.join();
    EXPECT_EQ(Joined({"'OpenCount' のデータ型が不正です", "'Count' のデータ型が不正です"}),
              Joined(menuMessages));
    ASSERT_NE(nullptr, menu) << "the menu did not open";
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(pakico.WaitForMenuClosed(kSettleMs));
}

// With the cabinet library present a program file is searched for a cabinet inside; a folder
// named like a program cannot be read. The drag is refused and ends cleanly; the error shows
// once it is over, and while it shows the cat rests like for any other box of the program.
// After it the cat goes on refreshing its picture and taking drops.
TEST_F(RestingReasons, AnUnreadableProgramFileInADragIsReportedAfterTheDrag) {
    SaveCatPlace(400, 300);
    PakicoRun pakico(PakicoRun::Layout{true, {"cab32.dll"}, ""});
    ASSERT_TRUE(pakico.Start());
    std::string folder = pakico.Scratch() + "setup.exe";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    std::string text = pakico.Scratch() + "memo.txt";
    WriteFileBytes(text, "memo");

    EXPECT_EQ(kEffectNone, DragFiles({}, pakico.Centre(), {folder})) << "not a clean refusal";
    HWND box = WaitForErrorBox(kSettleMs);
    ASSERT_NE(nullptr, box) << "no message after the drag";
    ExpectRestingWithoutTrayMenu(pakico);
    EXPECT_EQ(kEffectNone, DragFiles({}, pakico.Centre(), {text})) << "taken while the box shows";
    EXPECT_EQ("ファイル " + folder + " は開けません", AnswerErrorBox(box));
    EXPECT_EQ(0u, pakico.MorvaRuns());
    ASSERT_TRUE(pakico.Running());

    ASSERT_TRUE(pakico.WaitForLayer("CoolForm1", kSettleMs)) << pakico.Layer();
    ExpectTheRefreshTimerRuns(pakico);
    auto run = DropAndWait(pakico, {}, {text});
    ExpectHandOff(pakico, run, "/QA \\", {text});
}

// A temporary folder whose name the code page cannot write, and that has no short form (on
// Windows a volume without short names; here a folder that is not there has none either): the
// work folder cannot be made at the start, and a drop's list cannot be written. Both are told,
// the latter only once the drop has returned to its source; nothing is started, and nothing goes
// to the look-alike folder.
TEST_F(RestingReasons, ATemporaryFolderOutsideTheCodePageIsToldAfterTheDrop) {
    SaveCatPlace(400, 300);
    PakicoRun pakico(PakicoRun::Layout{true, {"Unlha32.dll"}, ""});
    const std::string lookAlike = pakico.Scratch() + "tmp cafe";
    ASSERT_TRUE(CreateDirectoryA(lookAlike.c_str(), nullptr));
    std::wstring accented(pakico.Scratch().begin(), pakico.Scratch().end()); // an ASCII path
    accented += L"tmp caf\u00e9\\";
    std::vector<std::string> messages;
    std::thread answer([&] { messages = AnswerStartErrorBoxes(3000); });
    std::optional<ScopedTempPath> temp(accented);
    auto started = pakico.Start();
    temp.reset();
    answer.join();
    ASSERT_TRUE(started);
    EXPECT_EQ(Joined({"作業フォルダが作成できません。フォルダ名 = " + pakico.Scratch() +
                      "tmp caf?\\~MORVA("}),
              Joined(messages));

    std::string archive = pakico.Scratch() + "backup.lzh";
    WriteFileBytes(archive, LzhBytes());
    auto outcomes = DragFilesReported({}, pakico.Centre(), {archive});
    ASSERT_EQ(1u, outcomes.size());
    EXPECT_EQ(kEffectCopy, outcomes[0].effect) << "the source was held by the drop";
    EXPECT_EQ("フォルダ：" + pakico.Scratch() +
                  "tmp caf?\r\n一時フォルダの名前にシフト JIS で表せない文字が含まれているため、"
                  "Morvaにファイルを渡せません。\r\nユーザー環境変数の TEMP と TMP を、名前が"
                  "シフト JIS で表せるフォルダ (例えば C:\\Temp) に変えてから、パキコを起動し"
                  "直してください。",
              AnswerErrorBox(kSettleMs));
    EXPECT_EQ(0u, pakico.MorvaRuns());
    EXPECT_FALSE(FileExists(lookAlike + "\\~MORVA("));
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((lookAlike + "\\MRV*.TMP").c_str(), &found);
    EXPECT_EQ(INVALID_HANDLE_VALUE, search) << found.cFileName;
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    EXPECT_TRUE(pakico.WaitForLayer("CoolForm1", kSettleMs)) << pakico.Layer();
}

// A source that offers file names but hands none out at the drop: nothing is started, and the
// drag ends, so the picture of the drag does not stay for good.
TEST_F(RestingReasons, ADropWhoseDataGiveNoNamesEndsTheDrag) {
    SaveCatPlace(400, 300);
    PakicoRun pakico(PakicoRun::Layout{true, {"Unlha32.dll"}, ""});
    ASSERT_TRUE(pakico.Start());
    std::string archive = pakico.Scratch() + "backup.lzh";
    WriteFileBytes(archive, LzhBytes());

    EXPECT_EQ(kEffectNone, DragFiles({"--no-data"}, pakico.Centre(), {archive}));
    EXPECT_TRUE(pakico.WaitForLayer("CoolForm1", kSettleMs)) << pakico.Layer();
    EXPECT_EQ(0u, pakico.MorvaRuns());
    ExpectTheRefreshTimerRuns(pakico);
    auto run = DropAndWait(pakico, {}, {archive});
    ExpectHandOff(pakico, run, "/QE \\", {archive});
}

// At sign-in a busy taskbar may take the icon but answer too late. The cat shows at once; the
// icon is asked for again quietly at each refresh (sped up here) for about half a minute, never
// given twice, then the failure is told once, in Japanese, and the icon asked for quietly once a
// minute. Meanwhile the cat cannot be hidden: without the icon nothing would bring it back. A new
// taskbar (the shell restarted) gets the one icon window's icon, and the cat may hide; a new one
// that refuses the icon brings the hidden cat back, and says why.
TEST_F(RestingReasons, ATaskbarThatAnswersLateIsAskedQuietlyThenToldOnce) {
    ScopedEnvironmentVariable fastRefresh("PAKICO_REFRESH_MS", "100");
    StandinTaskbar taskbar;
    taskbar.SetMode(StandinTaskbar::Mode::Late);
    PakicoRun pakico;
    std::vector<std::string> messages;
    std::thread answer([&] { messages = AnswerStartErrorBoxes(3000); });
    auto started = pakico.Start();
    answer.join();
    ASSERT_TRUE(started);
    EXPECT_EQ(Joined({kIconNotShown}), Joined(messages));
    EXPECT_EQ(31, taskbar.Asked()) << "asked at start and at thirty refreshes";
    EXPECT_EQ(1, taskbar.Adds()) << "the icon was given more than once";
    EXPECT_TRUE(pakico.WaitForLayer("CoolForm1", kSettleMs)) << pakico.Layer();
    // "非表示(&H)" shares its letter with "ヘルプ(&H)": it is reached from "居場所(&P)" above it.
    auto hide = [&] {
        ASSERT_NE(nullptr, pakico.OpenCatMenu());
        PressKeys({'P', VK_ESCAPE, VK_DOWN, VK_RETURN});
        // A disabled item leaves the menu open.
        if (!pakico.WaitForMenuClosed(1000))
            PressKey(VK_ESCAPE);
        EXPECT_TRUE(pakico.WaitForMenuClosed(kSettleMs));
    };
    hide();
    Sleep(500);
    EXPECT_TRUE(IsWindowVisible(pakico.Main())) << "hidden with no icon to come back by";
    EXPECT_TRUE(WaitUntil([&] { return taskbar.Asked() >= 32; }, 20000)) << taskbar.Asked();
    EXPECT_EQ(nullptr, WaitForErrorBox(1000)) << "told again";

    taskbar.Restart(StandinTaskbar::Mode::Accepting);
    EXPECT_TRUE(
        WaitUntil([&] { return taskbar.Icons() == std::vector<HWND>{pakico.Tray()}; }, kSettleMs));
    hide();
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(pakico.Main()); }, kSettleMs));
    taskbar.Restart(StandinTaskbar::Mode::Refusing);
    EXPECT_EQ(kIconNotShown, AnswerErrorBox(kSettleMs));
    EXPECT_TRUE(IsWindowVisible(pakico.Main())) << "the cat stayed hidden without its icon";
    ASSERT_TRUE(pakico.ChooseEnd());
    EXPECT_EQ(0, pakico.WaitForExit(kSettleMs));
}
