// Recent archives and the open dialog, from outside: reopening from the menu, choosing archives
// in the dialog, the cat while the dialog is open, and the dialog's places, folder history,
// save button, the menu's length and clearing the history.
#include "e2e/FolderDialogDriver.h"
#include "e2e/OpenDialogDriver.h"

#include <shlobj.h>

using namespace e2e;
using namespace testing_support;

namespace {

constexpr const char* kFiles = "history\\ArchiveFile";
constexpr const char* kFolders = "history\\ArchiveFile\\Path";
constexpr const char* kClearQuestion = "履歴メニューを削除してもよろしいですか？";

class OpenArchives : public E2eTest {
  protected:
    void SetUp() override {
        E2eTest::SetUp();
        // Apart from the dialog (moved to the upper left) and from the drag source's window.
        SaveCatPlace(900, 650);
    }
    // A folder of the scratch area with LZH archives, a text file posing as a ZIP, and more.
    std::string MakeArchiveFolder(PakicoRun& pakico, const std::string& name) {
        std::string folder = pakico.Scratch() + name;
        CreateDirectoryA(folder.c_str(), nullptr);
        WriteFileBytes(folder + "\\a.lzh", LzhBytes());
        WriteFileBytes(folder + "\\b.lzh", LzhBytes());
        WriteFileBytes(folder + "\\fake.zip", "not a zip at all");
        WriteFileBytes(folder + "\\self.exe", "MZ" + LzhBytes());
        return folder;
    }
    PakicoRun::Layout WithLibraries() {
        return PakicoRun::Layout{true, {"Unlha32.dll", "Unzip32.dll", "cab32.dll"}, ""};
    }
};

std::string KnownFolder(int csidl) {
    char path[MAX_PATH] = "";
    SHGetSpecialFolderPathA(nullptr, path, csidl, FALSE);
    std::string text = path;
    if (text.size() > 3 && text.back() == '\\')
        text.pop_back();
    return text;
}

} // namespace

TEST_F(OpenArchives, ReopeningARecentArchiveSendsItEvenWhenGone) {
    PakicoRun pakico(WithLibraries());
    std::string folder = MakeArchiveFolder(pakico, "recent");
    std::string gone = folder + "\\gone.lzh", kept = folder + "\\a.lzh";
    WriteHistoryList(kFiles, {gone, kept});
    WriteHistoryList(kFolders, {folder});
    ASSERT_TRUE(pakico.Start());

    // The deleted archive is sent all the same, with the menu's own spelling of the switch.
    ChooseFromMenu(pakico, {'R', '0'});
    auto runs = pakico.WaitForMorva(1);
    ASSERT_EQ(1u, runs.size());
    ExpectHandOff(pakico, runs[0], "/Da Tasktray!", {gone}, " /Send");
    // It leaves the history at once, in the registry the companion shares.
    EXPECT_TRUE(WaitUntil([&] { return ReadHistoryList(kFiles).size() == 1; }, kSettleMs));
    EXPECT_EQ(std::vector<std::string>{kept}, ReadHistoryList(kFiles));

    // The companion adds an archive meanwhile: the menu shows it first the next time.
    std::string other = folder + "\\b.lzh";
    WriteHistoryList(kFiles, {other, kept});
    ChooseFromMenu(pakico, {'R', '0'});
    runs = pakico.WaitForMorva(2);
    ASSERT_EQ(2u, runs.size());
    ExpectHandOff(pakico, runs[1], "/Da Tasktray!", {other}, " /Send");
    EXPECT_EQ((std::vector<std::string>{other, kept}), ReadHistoryList(kFiles));

    // An archive that is there moves to the front.
    ChooseFromMenu(pakico, {'R', '1'});
    runs = pakico.WaitForMorva(3);
    ASSERT_EQ(3u, runs.size());
    ExpectHandOff(pakico, runs[2], "/Da Tasktray!", {kept}, " /Send");
    EXPECT_EQ((std::vector<std::string>{kept, other}), ReadHistoryList(kFiles));

    // What the companion writes after Pakico's last change survives Pakico's end.
    WriteHistoryList(kFiles, {gone});
    ASSERT_TRUE(pakico.ChooseEnd());
    EXPECT_EQ(0, pakico.WaitForExit(kStartMs));
    EXPECT_EQ(std::vector<std::string>{gone}, ReadHistoryList(kFiles));
    EXPECT_EQ(std::vector<std::string>{folder}, ReadHistoryList(kFolders));
}

TEST_F(OpenArchives, TheFolderEntryOpensTheDialogAndSendsOnlyRealArchives) {
    PakicoRun pakico(WithLibraries());
    std::string folder = MakeArchiveFolder(pakico, "box");
    WriteHistoryList(kFiles, {});
    WriteHistoryList(kFolders, {folder});
    ASSERT_TRUE(pakico.Start());

    ChooseFromMenu(pakico, {'R', 'P', '0'});
    OpenDialog dialog(pakico);
    ASSERT_TRUE(dialog.WaitOpen());
    EXPECT_EQ("書庫を開く (複数選択可)", WindowTextOf(dialog.Window()));
    // Bare names: the dialog is in the folder of the entry.
    dialog.Choose("\"a.lzh\" \"fake.zip\" \"b.lzh\"");
    ASSERT_TRUE(dialog.WaitClosed());
    auto runs = pakico.WaitForMorva(1);
    ASSERT_EQ(1u, runs.size());
    ExpectHandOff(pakico, runs[0], "/Da TaskTray!", {folder + "\\a.lzh", folder + "\\b.lzh"},
                  " /Send");

    // A self-extractor that cannot be read is no archive: the others go first, then the user
    // is told which file could not be opened.
    std::string locked = folder + "\\self.exe";
    HANDLE hold = CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, hold);
    ChooseFromMenu(pakico, {'R', 'P', '0'});
    ASSERT_TRUE(dialog.WaitOpen());
    dialog.Choose("\"self.exe\" \"b.lzh\"");
    ASSERT_TRUE(dialog.WaitClosed());
    HWND error = WaitForErrorBox(kSettleMs);
    runs = pakico.WaitForMorva(2);
    ASSERT_EQ(2u, runs.size()) << "handed over while the error shows";
    EXPECT_EQ("ファイル " + locked + " は開けません", AnswerErrorBox(error));
    CloseHandle(hold);
    ExpectHandOff(pakico, runs[1], "/Da TaskTray!", {folder + "\\b.lzh"}, " /Send");

    // Read, the self-extractor is an archive; only fakes are dropped.
    ChooseFromMenu(pakico, {'R', 'P', '0'});
    ASSERT_TRUE(dialog.WaitOpen());
    dialog.Choose("\"fake.zip\" \"self.exe\"");
    ASSERT_TRUE(dialog.WaitClosed());
    runs = pakico.WaitForMorva(3);
    ASSERT_EQ(3u, runs.size());
    ExpectHandOff(pakico, runs[2], "/Da TaskTray!", {locked}, " /Send");

    // Nothing real chosen: nothing is sent.
    ChooseFromMenu(pakico, {'R', 'P', '0'});
    ASSERT_TRUE(dialog.WaitOpen());
    dialog.Choose("fake.zip");
    ASSERT_TRUE(dialog.WaitClosed());
    Sleep(1500);
    EXPECT_EQ(3u, pakico.MorvaRuns());

    // Archives with long names, more than the dialog's first buffer holds: 3,000 named in the
    // name box, then 700 chosen in the list; each time all of them are handed over, in order.
    auto makeArchives = [&](const std::string& name, int count) {
        std::string where = pakico.Scratch() + name;
        CreateDirectoryA(where.c_str(), nullptr);
        std::vector<std::string> made;
        for (int i = 0; i < count; ++i) {
            char number[8];
            snprintf(number, sizeof number, "%04d", i);
            made.push_back(where + "\\とても長い名前の書庫ファイル_" + number + "_" +
                           std::string(60, 'x') + ".lzh");
            WriteFileBytes(made.back(), LzhBytes());
        }
        return made;
    };
    std::vector<std::string> named = makeArchives("named", 3000);
    std::vector<std::string> listed = makeArchives("listed", 700);
    WriteHistoryList(kFolders, {pakico.Scratch() + "named", pakico.Scratch() + "listed"});
    std::string names;
    for (const std::string& path : named)
        names += "\"" + path.substr(path.rfind('\\') + 1) + "\" ";
    ChooseFromMenu(pakico, {'R', 'P', '0'});
    ASSERT_TRUE(dialog.WaitOpen(kStartMs));
    dialog.Choose(names);
    ASSERT_TRUE(dialog.WaitClosed(kStartMs));
    runs = pakico.WaitForMorva(4, kStartMs);
    ASSERT_EQ(4u, runs.size());
    ExpectHandOff(pakico, runs[3], "/Da TaskTray!", named, " /Send");
    ChooseFromMenu(pakico, {'R', 'P', '1'});
    ASSERT_TRUE(dialog.WaitOpen(kStartMs));
    ASSERT_TRUE(dialog.ChooseAllListed(60000));
    ASSERT_TRUE(dialog.WaitClosed(kStartMs));
    runs = pakico.WaitForMorva(5, kStartMs);
    ASSERT_EQ(5u, runs.size());
    ExpectHandOff(pakico, runs[4], "/Da TaskTray!", listed, " /Send");
}

TEST_F(OpenArchives, TheCatRestsWhileTheDialogIsOpenAndIsReadyAfterwards) {
    PakicoRun pakico(WithLibraries());
    std::string folder = MakeArchiveFolder(pakico, "rest");
    WriteHistoryList(kFolders, {folder});
    // A place whose folder is gone, and a places key whose count is text.
    WriteSettingText("Dialog\\Cabinet", "Caption0", "ここ");
    WriteSettingNumber("Dialog\\Cabinet", "RootFolder0", 0);
    WriteSettingText("Dialog\\Cabinet", "FolderPath0", folder);
    WriteSettingText("Dialog\\Cabinet", "Caption1", "消えた");
    WriteSettingNumber("Dialog\\Cabinet", "RootFolder1", 0);
    WriteSettingText("Dialog\\Cabinet", "FolderPath1", pakico.Scratch() + "gone");
    // A place below the folder the dialog starts in, and the same folder named in full.
    CreateDirectoryA((folder + "\\中身").c_str(), nullptr);
    WriteSettingText("Dialog\\Cabinet", "Caption2", "下");
    WriteSettingNumber("Dialog\\Cabinet", "RootFolder2", 1);
    WriteSettingText("Dialog\\Cabinet", "FolderPath2", "\\中身");
    WriteSettingText("Dialog\\Cabinet", "Caption3", "下の全体");
    WriteSettingNumber("Dialog\\Cabinet", "RootFolder3", 0);
    WriteSettingText("Dialog\\Cabinet", "FolderPath3", folder + "\\中身");
    WriteSettingText("Dialog\\Cabinet", "Count", "4");
    ASSERT_TRUE(pakico.Start());
    std::string note = pakico.Scratch() + "note.txt";
    WriteFileBytes(note, "note");

    for (const char* way : {"cancel", "missing place, then OK"}) {
        SCOPED_TRACE(way);
        ChooseFromMenu(pakico, {'R', 'P', '0'});
        OpenDialog dialog(pakico);
        ASSERT_TRUE(dialog.WaitOpen());
        EXPECT_EQ(4, dialog.PlaceCount()) << "the places that are there";
        // The place below the start folder has the icon of the folder it leads to.
        EXPECT_EQ(dialog.PlaceIcon(3), dialog.PlaceIcon(2));
        EXPECT_NE(dialog.PlaceIcon(1), dialog.PlaceIcon(2)) << "a folder looks unlike a lost one";
        EXPECT_TRUE(pakico.WaitForLayer("CoolForm2", kSettleMs)) << pakico.Layer();
        ExpectRestingWithoutTrayMenu(pakico);
        EXPECT_EQ(kEffectNone, DragFiles({}, pakico.Centre(), {note}));
        EXPECT_EQ(0u, pakico.MorvaRuns());
        if (std::string(way) == "cancel") {
            dialog.Cancel();
        } else {
            std::vector<HWND> open = TopWindows("#32770", pakico.ProcessId());
            dialog.ClickPlace(1);
            SeenBox box = WaitForBox(pakico.ProcessId(), open);
            EXPECT_EQ("フォルダ [gone] は存在しません。", box.text);
            EXPECT_TRUE(ClickBoxButton(box.window, {"OK"}));
            EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box.window); }, kSettleMs));
            // The dialog stayed, in its folder: a bare name is found there.
            ASSERT_TRUE(IsWindow(dialog.Window())) << "the missing place closed the dialog";
            dialog.Choose("a.lzh");
        }
        ASSERT_TRUE(dialog.WaitClosed());
        EXPECT_TRUE(pakico.WaitForLayer("CoolForm1", kSettleMs)) << pakico.Layer();
        EXPECT_NE(nullptr, pakico.OpenTrayMenu()) << "the icon's menu is back";
        PressKey(VK_ESCAPE);
        EXPECT_TRUE(pakico.WaitForMenuClosed(kSettleMs));
    }
    auto runs = pakico.WaitForMorva(1);
    ASSERT_EQ(1u, runs.size());
    ExpectHandOff(pakico, runs[0], "/Da TaskTray!", {folder + "\\a.lzh"}, " /Send");
    // Drops are taken again.
    auto dropped = DropAndWait(pakico, {}, {note});
    ExpectHandOff(pakico, dropped, "/QA \\", {note});
}

TEST_F(OpenArchives, PlacesHistorySaveMenuLengthAndClearing) {
    PakicoRun pakico(WithLibraries());
    std::string first = MakeArchiveFolder(pakico, "first");
    std::string second = MakeArchiveFolder(pakico, "second");
    std::string third = MakeArchiveFolder(pakico, "third");
    std::vector<std::string> archives = {first + "\\a.lzh", first + "\\b.lzh", second + "\\a.lzh",
                                         second + "\\b.lzh"};
    WriteHistoryList(kFiles, archives);
    // An absurd count in the folder history: the entries that are there are read.
    WriteHistoryList(kFolders, {first, second});
    WriteSettingNumber(kFolders, "Count", 0x7FFFFFFF);
    WriteSettingNumber("History", "OpenCount", 2);
    ASSERT_TRUE(pakico.Start());

    // "OpenCount" 2: no third entry; the second is there.
    ChooseFromMenu(pakico, {'R', '2'});
    Sleep(500);
    EXPECT_EQ(0u, pakico.MorvaRuns());
    PressKey('1');
    auto runs = pakico.WaitForMorva(1);
    ASSERT_EQ(1u, runs.size());
    ExpectHandOff(pakico, runs[0], "/Da Tasktray!", {archives[1]}, " /Send");
    // The folder submenu too: the third folder the menu read (an empty one) is not offered.
    ASSERT_TRUE(pakico.WaitForLayer("CoolForm1", kSettleMs)) << pakico.Layer();
    ChooseFromMenu(pakico, {'R', 'P', '2'});
    Sleep(700);
    EXPECT_EQ(nullptr, FindDialog(pakico.ProcessId(), "書庫を開く (複数選択可)"));
    PressKeys({VK_ESCAPE, VK_ESCAPE, VK_ESCAPE});
    ASSERT_TRUE(pakico.WaitForMenuClosed(kSettleMs));

    // The folder history leads to the second folder, which moves to its top.
    ChooseFromMenu(pakico, {'R', 'P', '0'});
    OpenDialog dialog(pakico);
    ASSERT_TRUE(dialog.WaitOpen());
    EXPECT_EQ(2, dialog.HistoryCount()) << "the stored folders that are there";
    dialog.StepHistory(1);
    dialog.Choose("b.lzh");
    ASSERT_TRUE(dialog.WaitClosed());
    runs = pakico.WaitForMorva(2);
    ASSERT_EQ(2u, runs.size());
    ExpectHandOff(pakico, runs[1], "/Da TaskTray!", {second + "\\b.lzh"}, " /Send");
    // The dialog saved the second folder on top; then the menu moved its chosen folder there.
    EXPECT_TRUE(WaitUntil(
        [&] {
            return ReadHistoryList(kFolders) == std::vector<std::string>{first, second};
        },
        kSettleMs));

    // The default places: desktop first, documents last; each visited folder can be saved once.
    ChooseFromMenu(pakico, {'R', 'P', '0'});
    ASSERT_TRUE(dialog.WaitOpen());
    RECT frame{};
    GetWindowRect(dialog.Window(), &frame);
    SaveScreenshot(frame, "open-dialog.bmp");
    int places = dialog.PlaceCount();
    EXPECT_TRUE(places == 3 || places == 4) << places;
    // The start folder is in the history: nothing to save.
    EXPECT_FALSE(dialog.SaveEnabled());
    dialog.ClickPlace(0);
    EXPECT_TRUE(WaitUntil([&] { return dialog.SaveEnabled(); }, kSettleMs))
        << "the desktop is not in the history";
    dialog.PressSave();
    EXPECT_FALSE(dialog.SaveEnabled());
    EXPECT_EQ(3, dialog.HistoryCount());
    dialog.ClickPlace(places - 1);
    EXPECT_TRUE(WaitUntil([&] { return dialog.SaveEnabled(); }, kSettleMs));
    dialog.PressSave();
    EXPECT_EQ(4, dialog.HistoryCount());
    // The computer is a shell place; Wine answers it with a message of its own at most.
    std::vector<HWND> open = TopWindows("#32770", pakico.ProcessId());
    dialog.ClickPlace(1);
    SeenBox shellBox = WaitForBox(pakico.ProcessId(), open, 1500);
    if (shellBox.window) {
        PostMessageA(shellBox.window, WM_COMMAND, IDOK, 0);
        WaitUntil([&] { return !IsWindow(shellBox.window); }, kSettleMs);
    }
    ASSERT_TRUE(IsWindow(dialog.Window()));
    dialog.Cancel();
    ASSERT_TRUE(dialog.WaitClosed());
    // The dialog saved both places on top; then the menu moved its chosen folder there.
    std::vector<std::string> expected = {first, KnownFolder(CSIDL_PERSONAL),
                                         KnownFolder(CSIDL_DESKTOPDIRECTORY), second};
    EXPECT_TRUE(WaitUntil([&] { return ReadHistoryList(kFolders) == expected; }, kSettleMs));
    EXPECT_EQ(expected, ReadHistoryList(kFolders));
    EXPECT_EQ(2u, pakico.MorvaRuns());

    // Places from the settings: the first leads to the third folder.
    WriteSettingNumber("Dialog\\Cabinet", "Count", 1);
    WriteSettingText("Dialog\\Cabinet", "Caption0", "三番目");
    WriteSettingNumber("Dialog\\Cabinet", "RootFolder0", 0);
    WriteSettingText("Dialog\\Cabinet", "FolderPath0", third);
    ChooseFromMenu(pakico, {'R', 'P', '0'});
    ASSERT_TRUE(dialog.WaitOpen());
    EXPECT_EQ(1, dialog.PlaceCount());
    dialog.ClickPlace(0);
    Sleep(500);
    dialog.Choose("a.lzh");
    ASSERT_TRUE(dialog.WaitClosed());
    runs = pakico.WaitForMorva(3);
    ASSERT_EQ(3u, runs.size());
    ExpectHandOff(pakico, runs[2], "/Da TaskTray!", {third + "\\a.lzh"}, " /Send");

    // Clearing asks first: No keeps every entry, Yes empties the archives and keeps the folders.
    std::vector<std::string> before = ReadHistoryList(kFiles);
    std::vector<std::string> folders = ReadHistoryList(kFolders);
    for (const char* answer : {"いいえ(&N)", "はい(&Y)"}) {
        SCOPED_TRACE(answer);
        // The question box rested the cat; its menu is there again once it is ready.
        ASSERT_TRUE(pakico.WaitForLayer("CoolForm1", kSettleMs)) << pakico.Layer();
        open = TopWindows("#32770", pakico.ProcessId());
        ChooseFromMenu(pakico, {'R', 'D'});
        SeenBox box = WaitForBox(pakico.ProcessId(), open);
        EXPECT_EQ(kClearQuestion, box.text);
        ASSERT_TRUE(ClickBoxButton(box.window, {answer}));
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box.window); }, kSettleMs));
        Sleep(300);
        if (std::string(answer) == "いいえ(&N)")
            EXPECT_EQ(before, ReadHistoryList(kFiles));
        else
            EXPECT_TRUE(ReadHistoryList(kFiles).empty());
        EXPECT_EQ(folders, ReadHistoryList(kFolders));
    }
}
