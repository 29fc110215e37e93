// The automatic import seen from outside: a folder chosen in the folder dialog or the watch
// history is watched, files copied in are counted in the title and the notification-area tip,
// and ending the watch hands the new archives to the companion in one start.
#include "e2e/E2eSupport.h"
#include "e2e/FolderDialogDriver.h"

#include <shellapi.h>

#include <algorithm>
#include <thread>

using namespace e2e;
using namespace testing_support;

namespace {

const char kWatching[] = "書庫自動取込の実行中";
const char kNothingCollected[] = "取り込んだファイルはありません";
const char kNoArchives[] = "取り込んだファイルに書庫と認識できるファイルはありません";
const char kImported[] = " 件の書庫を取り込みました。";
const char kAway[] = "監視フォルダの応答待ち";
const char kGone[] = "次の書庫は見つからないため取り込めませんでした。";

class FolderWatch : public E2eTest {
  protected:
    void SetUp() override {
        E2eTest::SetUp();
        taskbar_.Accept(true);
    }

    // The program's folder with the companion and the LZH library, not started yet.
    void Prepare() {
        pakico_ = std::make_unique<PakicoRun>(PakicoRun::Layout{true, {"Unlha32.dll"}, ""});
    }
    void Launch() {
        if (!pakico_)
            Prepare();
        ASSERT_TRUE(pakico_->Start());
    }

    // A new folder in the scratch folder, without a trailing separator.
    std::string NewFolder(const std::string& name) {
        std::string folder = pakico_->Scratch() + name;
        CreateDirectoryA(folder.c_str(), nullptr);
        return folder;
    }

    std::string Title() const { return WindowTextOf(pakico_->Main()); }

    // The title and the tip both show `text` within the settling time.
    bool WaitForTitle(const std::string& text) {
        return WaitUntil([&] { return Title() == text && taskbar_.Tip() == text; }, kSettleMs);
    }

    // Chooses a command of the notification-area menu by its mnemonic. The icon's menu is
    // there the moment the last box of the program has gone.
    void Choose(WORD key) {
        ASSERT_NE(nullptr, pakico_->OpenTrayMenu());
        PressKey(key);
    }

    // The next message box of the program: its text, answered with the button `id`.
    std::string Answer(int id, const std::vector<HWND>& except = {}) {
        SeenBox box = WaitForBox(pakico_->ProcessId(), except);
        if (!box.window)
            return "(no message)";
        PostMessageA(GetDlgItem(box.window, id), BM_CLICK, 0, 0);
        WaitUntil([&] { return !IsWindow(box.window); }, kSettleMs);
        return box.text;
    }

    std::string StartQuestion(const std::string& folder) {
        return "監視フォルダ : " + folder + "\r\n" + "書庫の取込を開始しますか？";
    }

    // "新たな監視フォルダで実行(&N)": the folder dialog opens on the newest folder of its
    // history, which is confirmed, and so is the question that follows.
    void StartFromDialog(const std::string& folder) {
        WriteSettingNumber("History\\TreeDlg", "Count", 1);
        WriteSettingText("History\\TreeDlg", "0", folder);
        Choose('N');
        HWND dialog = nullptr;
        ASSERT_TRUE(WaitUntil(
            [&] { return (dialog = FindDialog(pakico_->ProcessId(), "監視フォルダの選択")); },
            kSettleMs));
        HWND ok = nullptr;
        ASSERT_TRUE(WaitUntil(
            [&] {
                ok = FindChildByText(dialog, "確定(&O)");
                return ok && IsWindowEnabled(ok);
            },
            kSettleMs))
            << "the dialog did not select " << folder;
        PostMessageA(ok, BM_CLICK, 0, 0);
        EXPECT_EQ(StartQuestion(folder), Answer(IDYES, {dialog}));
        ASSERT_TRUE(WaitForTitle(kWatching)) << Title() << " / " << taskbar_.Tip();
    }

    // "フォルダ監視の終了(&Z)" with the answer given to its question; the question.
    std::string End(int answer) {
        Choose('Z');
        return Answer(answer);
    }

    static std::string EndQuestion(const std::string& count) {
        return "現在の取込数: " + count + "件" + "\r\n" +
               "フォルダ監視を終了して書庫を取り込みますか？";
    }

    StandinTaskbar taskbar_;
    std::unique_ptr<PakicoRun> pakico_;
};

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

std::string NameOf(const std::string& path) {
    return path.substr(path.rfind('\\') + 1);
}

// Holds a file open without sharing, so that nobody else can read it meanwhile.
struct LockedFile {
    explicit LockedFile(const std::string& path)
        : handle(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)) {}
    ~LockedFile() {
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
    }
    HANDLE handle;
};

// Processor time the process has used so far, in milliseconds.
double CpuMs(DWORD processId) {
    win::ScopedHandle process(OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, processId));
    FILETIME created, exited, kernel, user;
    if (!process || !GetProcessTimes(process.get(), &created, &exited, &kernel, &user))
        return -1;
    auto ms = [](const FILETIME& time) {
        return double((ULONGLONG(time.dwHighDateTime) << 32) | time.dwLowDateTime) / 10000.0;
    };
    return ms(kernel) + ms(user);
}

} // namespace

// Files copied in are counted as they arrive; "No" keeps watching; "Yes" hands the archives
// over in one start in the order they came, an ".exe" that cannot be read for the check is
// no archive, and the message lists ten names and the rest, after the companion has started.
TEST_F(FolderWatch, CountsNewFilesAndHandsTheArchivesOverInOneStart) {
    Launch();
    const std::string folder = NewFolder("取込先");
    WriteFileBytes(folder + "\\old.lzh", LzhBytes());
    WriteFileBytes(folder + "\\old.txt", "old");
    StartFromDialog(folder);
    DWORD stored = 0;
    EXPECT_TRUE(ReadSettingNumber("history\\Watch\\Path", "Count", stored));
    EXPECT_EQ(1u, stored);

    // Two archives one after the other, then a burst.
    std::vector<std::string> archives;
    for (const char* name : {"z-first.lzh", "a-second.lzh"}) {
        archives.push_back(folder + "\\" + name);
        WriteFileBytes(archives.back(), LzhBytes());
        EXPECT_TRUE(WaitForTitle(std::to_string(archives.size()) + " 件 取込")) << Title();
    }
    std::vector<std::string> burst;
    for (int i = 3; i <= 12; ++i)
        burst.push_back(folder + "\\b" + std::to_string(i) + ".lzh");
    for (const std::string& path : burst)
        WriteFileBytes(path, LzhBytes());
    WriteFileBytes(folder + "\\note.txt", "text");
    WriteFileBytes(folder + "\\setup.exe", "MZ" + std::string(300, 'x'));
    LockedFile locked(folder + "\\setup.exe");
    ASSERT_NE(INVALID_HANDLE_VALUE, locked.handle);
    EXPECT_TRUE(WaitForTitle("14 件 取込")) << Title();

    // No: nothing changes.
    EXPECT_EQ(EndQuestion("14"), End(IDNO));
    Sleep(500);
    EXPECT_EQ("14 件 取込", Title());
    EXPECT_EQ(0u, pakico_->MorvaRuns());

    EXPECT_EQ(EndQuestion("14"), End(IDYES));
    SeenBox report = WaitForBox(pakico_->ProcessId(), {});
    ASSERT_NE(nullptr, report.window);
    // The companion has started while the report is still open.
    std::vector<MorvaRun> runs = pakico_->WaitForMorva(1);
    ASSERT_EQ(1u, runs.size());
    PostMessageA(GetDlgItem(report.window, IDOK), BM_CLICK, 0, 0);

    EXPECT_EQ(0u, report.text.find("取込数 : 14件\r\n")) << report.text;
    EXPECT_TRUE(EndsWith(report.text, std::string("\r\n12") + kImported)) << report.text;
    EXPECT_NE(std::string::npos, report.text.find("他 2 件")) << report.text;
    // Ten names: the two that came first among them.
    std::size_t named = 0;
    for (const std::string& path : archives)
        named += report.text.find(NameOf(path)) != std::string::npos;
    for (const std::string& path : burst)
        named += report.text.find(NameOf(path) + "\r\n") != std::string::npos ||
                 report.text.find(NameOf(path) + " ") != std::string::npos;
    EXPECT_EQ(10u, named) << report.text;
    EXPECT_EQ(std::string::npos, report.text.find("setup.exe"));
    EXPECT_EQ(std::string::npos, report.text.find("note.txt"));

    // One start: the archives in the order they came; those of the burst in any order.
    const MorvaRun& run = runs.front();
    EXPECT_EQ(0u,
              run.commandLine.find(Quoted(pakico_->Folder() + "Morva.exe") + " /Da TaskTray! @"))
        << run.commandLine;
    EXPECT_EQ(" /Send", run.commandLine.substr(run.commandLine.size() - 6));
    std::vector<std::string> listed = SplitLines(run.listBytes);
    ASSERT_EQ(12u, listed.size()) << run.listBytes;
    EXPECT_EQ(archives, std::vector<std::string>(listed.begin(), listed.begin() + 2));
    std::vector<std::string> rest(listed.begin() + 2, listed.end());
    std::sort(rest.begin(), rest.end());
    std::sort(burst.begin(), burst.end());
    EXPECT_EQ(burst, rest);

    EXPECT_TRUE(WaitForTitle("Pakico")) << Title();
    EXPECT_EQ(1u, pakico_->MorvaRuns());
}

// The end of a watch with nothing to hand over, or only some of it: the messages, and a start
// only when there is an archive. An empty ".lzh" is taken on its extension, an empty ".rar"
// is not; an archive gone again before the end is not counted, and named as gone.
TEST_F(FolderWatch, EndingTellsWhatWasCollected) {
    struct Case {
        const char* name;
        std::vector<std::pair<std::string, std::string>> files; // name, contents
        std::vector<std::string> removed;
        std::string count;
        std::string message; // after the header, or whole when there is no header
        std::vector<std::string> handedOver;
    } cases[] = {
        {"nothing", {}, {}, "0", kNothingCollected, {}},
        {"text", {{"a.txt", "a"}, {"b.txt", "b"}}, {}, "2", kNoArchives, {}},
        {"empty", {{"x.lzh", ""}, {"x.rar", ""}}, {}, "2", "", {"x.lzh"}},
        {"gone",
         {{"gone.lzh", LzhBytes()}},
         {"gone.lzh"},
         "0",
         kNothingCollected + std::string("\r\n\r\n") + kGone + "\r\n gone.lzh",
         {}},
    };
    Launch();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string folder = NewFolder(c.name);
        StartFromDialog(folder);
        for (const auto& [name, bytes] : c.files)
            WriteFileBytes(folder + "\\" + name, bytes);
        if (!c.files.empty()) {
            EXPECT_TRUE(WaitForTitle(std::to_string(c.files.size()) + " 件 取込")) << Title();
        }
        for (const std::string& name : c.removed)
            DeleteFileA((folder + "\\" + name).c_str());
        const std::size_t runsBefore = pakico_->MorvaRuns();
        EXPECT_EQ(EndQuestion(c.count), End(IDYES));
        std::string report = Answer(IDOK);
        if (c.count == "0") {
            // Ready at once after the report, not at the next tick.
            Sleep(100);
            EXPECT_NE(nullptr, pakico_->OpenCatMenu()) << "no menu on the cat after the report";
            PressKey(VK_ESCAPE);
            EXPECT_TRUE(pakico_->WaitForMenuClosed(kSettleMs));
        }
        if (c.handedOver.empty()) {
            std::string expected =
                c.count == "0" ? c.message : "取込数 : " + c.count + "件\r\n" + c.message;
            EXPECT_EQ(expected, report);
            Sleep(1000);
            EXPECT_EQ(runsBefore, pakico_->MorvaRuns());
        } else {
            EXPECT_EQ(0u, report.find("取込数 : " + c.count + "件\r\n")) << report;
            EXPECT_NE(std::string::npos,
                      report.find(std::to_string(c.handedOver.size()) + kImported))
                << report;
            std::vector<MorvaRun> runs = pakico_->WaitForMorva(runsBefore + 1);
            ASSERT_EQ(runsBefore + 1, runs.size());
            std::string list;
            for (const std::string& name : c.handedOver)
                list += folder + "\\" + name + "\r\n";
            EXPECT_EQ(list, runs.back().listBytes);
        }
        EXPECT_TRUE(WaitForTitle("Pakico")) << Title();
    }
}

// The watched folder renamed away or deleted while watched: the title says it does not answer,
// nothing is counted and no box comes, however long it stays away (a computer waking from
// sleep changes nothing). Renamed back, it is listed and watched anew: what arrived meanwhile
// is collected, a name the code page cannot write by its short form. Deleted, the end counts
// nothing and names the archive that is gone, and the program sits idle meanwhile.
TEST_F(FolderWatch, AWatchedFolderThatGoesAwayIsWaitedFor) {
    Launch();
    for (bool rename : {true, false}) {
        SCOPED_TRACE(rename ? "renamed" : "deleted");
        const std::string folder = NewFolder(rename ? "renamed" : "deleted");
        StartFromDialog(folder);
        WriteFileBytes(folder + "\\a.lzh", LzhBytes());
        ASSERT_TRUE(WaitForTitle("1 件 取込")) << Title();
        if (rename) {
            ASSERT_TRUE(MoveFileA(folder.c_str(), (folder + "-away").c_str()));
        } else {
            // As the desktop deletes it: to the recycle bin, without questions.
            std::string from = folder + std::string(1, '\0');
            SHFILEOPSTRUCTA operation{};
            operation.wFunc = FO_DELETE;
            operation.pFrom = from.c_str();
            operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
            ASSERT_EQ(0, SHFileOperationA(&operation));
            ASSERT_FALSE(FileExists(folder));
        }
        EXPECT_TRUE(WaitForTitle(kAway)) << Title();
        const double before = CpuMs(pakico_->ProcessId());
        if (rename) {
            WriteFileBytes(folder + "-away\\", L"\u00c9t\u00e9.lzh", LzhBytes());
            PostMessageA(pakico_->Main(), WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
        }
        EXPECT_EQ(nullptr, WaitForBox(pakico_->ProcessId(), {}, 4000).window)
            << "the watch ended on a folder away";
        EXPECT_EQ(kAway, Title());
        if (!rename) {
            // Idle: a spinning program would use about all of this time.
            EXPECT_LT(CpuMs(pakico_->ProcessId()) - before, 2000.0);
            EXPECT_EQ(EndQuestion("0"), End(IDYES));
            EXPECT_EQ(kNothingCollected + std::string("\r\n\r\n") + kGone + "\r\n a.lzh",
                      Answer(IDOK));
            break;
        }
        ASSERT_TRUE(MoveFileA((folder + "-away").c_str(), folder.c_str()));
        EXPECT_TRUE(WaitForTitle("2 件 取込")) << Title();
        WriteFileBytes(folder + "\\b.lzh", LzhBytes());
        EXPECT_TRUE(WaitForTitle("3 件 取込")) << Title();
        EXPECT_EQ(EndQuestion("3"), End(IDYES));
        std::string report = Answer(IDOK);
        EXPECT_TRUE(EndsWith(report, std::string("\r\n3") + kImported)) << report;
        std::vector<MorvaRun> runs = pakico_->WaitForMorva(1);
        ASSERT_EQ(1u, runs.size());
        std::vector<std::string> listed = SplitLines(runs[0].listBytes);
        ASSERT_EQ(3u, listed.size()) << runs[0].listBytes;
        EXPECT_EQ(folder + "\\a.lzh", listed[0]);
        EXPECT_EQ(folder + "\\b.lzh", listed[2]);
        // "Été.lzh" by a name that opens it (its look-alike "Ete.lzh" would name no file).
        EXPECT_EQ(folder + "\\", listed[1].substr(0, folder.size() + 1));
        EXPECT_TRUE(FileExists(listed[1])) << listed[1];
    }
    EXPECT_TRUE(WaitForTitle("Pakico")) << Title();
    EXPECT_EQ(1u, pakico_->MorvaRuns());
}

// As on a display without a window manager under Wine's default settings, each box of the
// program takes about two seconds to close. The folder is listed and watched the moment the
// user answers Yes, so a file copied in while the question is still closing is collected. A
// folder away for a moment does not end the watch, and a new taskbar (the shell restarted)
// that takes the icon late gets it with the watch's tip.
TEST_F(FolderWatch, TheFolderIsWatchedFromTheMomentTheUserAnswers) {
    WindowsClosingSlowly slowly;
    Prepare();
    const std::string folder = NewFolder("即時");
    WriteFileBytes(folder + "\\old.lzh", LzhBytes());
    WriteSettingNumber("history\\Watch\\Path", "Count", 1);
    WriteSettingText("history\\Watch\\Path", "0", folder);
    SaveCatPlace(400, 300);
    ASSERT_TRUE(pakico_->Start());
    auto title = [&](const std::string& text) {
        return WaitUntil([&] { return Title() == text; }, kSettleMs);
    };

    // "過去の監視フォルダで実行(&B)" from the cat's own menu, and its newest entry; then Yes,
    // and a file 1.5 s later, while the question is still closing.
    ASSERT_TRUE(pakico_->WaitForLayer("CoolForm1", kSettleMs));
    ASSERT_NE(nullptr, pakico_->OpenCatMenu());
    PressKey('B');
    PressKey('0');
    SeenBox question = WaitForBox(pakico_->ProcessId(), {});
    ASSERT_NE(nullptr, question.window);
    EXPECT_EQ(StartQuestion(folder), question.text);
    PostMessageA(GetDlgItem(question.window, IDYES), BM_CLICK, 0, 0);
    Sleep(1500);
    const std::string first = folder + "\\zeta.lzh";
    WriteFileBytes(first, LzhBytes());
    ASSERT_TRUE(title("1 件 取込")) << Title();
    taskbar_.Restart(StandinTaskbar::Mode::Refusing);
    std::vector<std::string> more = {folder + "\\note.txt", folder + "\\alpha.lzh",
                                     folder + "\\mid.lzh"};
    for (const std::string& path : more)
        WriteFileBytes(path, path.find(".txt") == std::string::npos ? LzhBytes() : "text");
    ASSERT_TRUE(title("4 件 取込")) << Title();

    // Away for a moment, longer than a tick, as a network folder may be: the watch goes on.
    ASSERT_TRUE(MoveFileA(folder.c_str(), (folder + "-away").c_str()));
    Sleep(1200);
    ASSERT_TRUE(MoveFileA((folder + "-away").c_str(), folder.c_str()));
    const std::string last = folder + "\\late.lzh";
    WriteFileBytes(last, LzhBytes());
    EXPECT_TRUE(title("5 件 取込")) << Title();
    EXPECT_EQ(nullptr, WaitForBox(pakico_->ProcessId(), {}, 3000).window)
        << "the watch ended on a folder away for a moment";

    taskbar_.Accept(true);
    EXPECT_TRUE(WaitUntil([&] { return taskbar_.Icons().size() == 1; }, kSettleMs));
    EXPECT_TRUE(WaitForTitle("5 件 取込")) << taskbar_.Tip();

    EXPECT_EQ(EndQuestion("5"), End(IDYES));
    std::string report = Answer(IDOK);
    EXPECT_NE(std::string::npos, report.find(std::string("4") + kImported)) << report;
    std::vector<MorvaRun> runs = pakico_->WaitForMorva(1);
    ASSERT_EQ(1u, runs.size());
    std::vector<std::string> listed = SplitLines(runs[0].listBytes);
    ASSERT_EQ(4u, listed.size()) << runs[0].listBytes;
    EXPECT_EQ(first, listed.front());
    EXPECT_EQ(last, listed.back());
    std::vector<std::string> middle(listed.begin() + 1, listed.end() - 1);
    std::sort(middle.begin(), middle.end());
    EXPECT_EQ((std::vector<std::string>{more[1], more[2]}), middle);
}

// "常駐の解除(&E)" while watching asks first; "No" keeps the program and the watch.
TEST_F(FolderWatch, EndingResidenceWhileWatchingAsksFirst) {
    Launch();
    const std::string folder = NewFolder("resident");
    StartFromDialog(folder);
    Choose('E');
    EXPECT_EQ("書庫の取込中ですが終了しますか？", Answer(IDNO));
    Sleep(500);
    EXPECT_TRUE(pakico_->Running());
    EXPECT_EQ(kWatching, Title());

    Choose('E');
    EXPECT_EQ("書庫の取込中ですが終了しますか？", Answer(IDYES));
    EXPECT_EQ(0, pakico_->WaitForExit(kSettleMs));
    EXPECT_EQ(0u, pakico_->MorvaRuns());
}
