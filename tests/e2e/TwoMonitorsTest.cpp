// Every window of the program opens on the monitor the cat is on. The test command runs these
// cases on a display of two monitors (PAKICO_TWO_MONITORS set): a 1024 x 768 primary one and an
// 800 x 600 one to its right. Elsewhere, with one monitor, they are skipped.
#include "e2e/E2eSupport.h"
#include "e2e/FolderDialogDriver.h"
#include "e2e/OpenDialogDriver.h"
#include "res/resource.h"
#include "support/ShellFiles.h"

#include <cstdlib>

using namespace e2e;
using namespace testing_support;

namespace {

struct Monitor {
    RECT whole{}, work{};
    bool primary = false;
};

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoA(monitor, &info))
        reinterpret_cast<std::vector<Monitor>*>(list)->push_back(
            {info.rcMonitor, info.rcWork, (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
    return TRUE;
}

std::string WithoutSlash(const std::string& folder) {
    return folder.substr(0, folder.size() - 1);
}

class TwoMonitors : public E2eTest {
  protected:
    void SetUp() override {
        E2eTest::SetUp();
        std::vector<Monitor> monitors;
        EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
        if (monitors.size() < 2) {
            if (std::getenv("PAKICO_TWO_MONITORS"))
                FAIL() << "the display of two monitors shows " << monitors.size();
            GTEST_SKIP() << "one monitor: the test command runs this on a display of two";
        }
        for (const Monitor& m : monitors)
            if (!m.primary)
                second_ = m;
    }

    // A window of the program, once it shows: it lies inside the second monitor's work area,
    // and one that has no owner lies in its middle.
    void ExpectOnSecond(HWND window, const std::string& what, bool centred = false) {
        ASSERT_NE(nullptr, window) << what << " did not open";
        RECT frame{};
        GetWindowRect(window, &frame);
        const RECT& work = second_.work;
        EXPECT_TRUE(frame.left >= work.left && frame.top >= work.top && frame.right <= work.right &&
                    frame.bottom <= work.bottom)
            << what << " at " << frame.left << "," << frame.top << " - " << frame.right << ","
            << frame.bottom;
        if (centred) {
            EXPECT_NEAR((second_.whole.left + second_.whole.right) / 2,
                        (frame.left + frame.right) / 2, 1)
                << what;
            EXPECT_NEAR((second_.whole.top + second_.whole.bottom) / 2,
                        (frame.top + frame.bottom) / 2, 1)
                << what;
        }
        SaveScreenshot(second_.whole, "second_monitor_" + std::to_string(++shots_) + ".bmp");
    }

    void Close(PakicoRun& pakico, HWND dialog, int command) {
        PostMessageA(dialog, WM_COMMAND, command, 0);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, kSettleMs));
        ASSERT_TRUE(pakico.WaitForLayer("CoolForm1", kSettleMs)) << "the cat is ready again";
    }

    Monitor second_;
    int shots_ = 0;
};

} // namespace

// The cat on the second monitor; each window of the program in turn: the settings, the About
// box, the folder dialog, the new-folder dialog over it and its warning, the question that
// starts a watch (no owner), the open dialog, and the question at the end (no owner).
TEST_F(TwoMonitors, EveryWindowOpensOnTheCatsMonitor) {
    TempFolder folder("mon");
    ASSERT_TRUE(CreateDirectoryA((folder.path() + "sub").c_str(), nullptr));
    WriteHistoryList("History\\TreeDlg", {WithoutSlash(folder.path())});
    WriteHistoryList("history\\ArchiveFile\\Path", {WithoutSlash(folder.path())});
    TempFolder startup("startup");
    ShellFolderOverride startupFolder("Startup", WithoutSlash(startup.path()));
    WriteFileBytes(startup.path() + "Pakico.lnk", "shortcut");

    const LONG catLeft = second_.whole.left + 276, catTop = second_.whole.top + 250;
    SaveCatPlace(static_cast<DWORD>(catLeft), static_cast<DWORD>(catTop));
    PakicoRun pakico;
    ASSERT_TRUE(pakico.Start());
    ASSERT_EQ(catLeft, pakico.Frame().left);
    ASSERT_EQ(catTop, pakico.Frame().top);
    ASSERT_TRUE(pakico.WaitForLayer("CoolForm1", kSettleMs));

    ChooseFromMenu(pakico, {'G'});
    HWND settings = WaitForDialog(pakico.ProcessId(), "環境設定 - Pakico");
    ExpectOnSecond(settings, "the settings");
    Close(pakico, settings, IDCANCEL);

    ChooseFromMenu(pakico, {'A'});
    HWND about = WaitForDialog(pakico.ProcessId(), "About Pakico");
    ExpectOnSecond(about, "the About box", true);
    Close(pakico, about, IDOK);

    ChooseFromMenu(pakico, {'N'});
    HWND folders = WaitForDialog(pakico.ProcessId(), "監視フォルダの選択");
    ExpectOnSecond(folders, "the folder dialog");
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(GetDlgItem(folders, IDC_TREE_BTNMKDIR)); },
                          kSettleMs))
        << "the dialog did not start in its history's folder";
    PostMessageA(GetDlgItem(folders, IDC_TREE_BTNMKDIR), BM_CLICK, 0, 0);
    SeenBox newFolder = WaitForBox(pakico.ProcessId(), {folders});
    EXPECT_EQ("新しいフォルダの作成", newFolder.caption);
    ExpectOnSecond(newFolder.window, "the new-folder dialog");
    SendMessageA(GetDlgItem(newFolder.window, IDC_MKDIR_DIRNAME), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>("sub"));
    PostMessageA(newFolder.window, WM_COMMAND, IDOK, 0);
    SeenBox exists = WaitForBox(pakico.ProcessId(), {folders, newFolder.window});
    EXPECT_EQ("警告", exists.caption);
    ExpectOnSecond(exists.window, "the warning over the new-folder dialog");
    ASSERT_TRUE(ClickBoxButton(exists.window, {"OK"}));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(exists.window); }, kSettleMs));
    PostMessageA(newFolder.window, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(newFolder.window); }, kSettleMs));
    PostMessageA(folders, WM_COMMAND, IDOK, 0);
    SeenBox startWatch = WaitForBox(pakico.ProcessId(), {folders});
    EXPECT_EQ("確認", startWatch.caption);
    ExpectOnSecond(startWatch.window, "the question that starts a watch", true);
    ASSERT_TRUE(ClickBoxButton(startWatch.window, {"いいえ(&N)"}));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(startWatch.window); }, kSettleMs));
    ASSERT_TRUE(pakico.WaitForLayer("CoolForm1", kSettleMs)) << "the cat is ready again";

    ChooseFromMenu(pakico, {'R', 'P', '0'});
    ExpectOnSecond(WaitForDialog(pakico.ProcessId(), "書庫を開く (複数選択可)"), "the open dialog");
    OpenDialog open(pakico);
    ASSERT_TRUE(open.WaitOpen());
    open.Cancel();
    ASSERT_TRUE(open.WaitClosed());
    ASSERT_TRUE(pakico.WaitForLayer("CoolForm1", kSettleMs)) << "the cat is ready again";

    ASSERT_TRUE(pakico.ChooseEnd());
    HWND question = WaitForDialog(pakico.ProcessId(), "確認");
    ExpectOnSecond(question, "the question at the end", true);
    ASSERT_TRUE(ClickBoxButton(question, {"キャンセル"}));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(question); }, kSettleMs));
    EXPECT_TRUE(pakico.Running());

    DeleteFileA((startup.path() + "Pakico.lnk").c_str());
    ASSERT_TRUE(pakico.ChooseEnd());
    EXPECT_EQ(0, pakico.WaitForExit(10000));
}
