// Every window of the program opens on the monitor the cat is on. The test command runs this on a
// display of two monitors (PAKICO_TWO_MONITORS set): a 1024 x 768 primary one and an 800 x 600 one
// to its right. With one monitor it is skipped.
#include "e2e/E2eSupport.h"
#include "e2e/OpenDialogDriver.h"
#include "folders/TreeFormRes.h"

#include <cstdlib>

using namespace e2e;
using namespace testing_support;

namespace {

class TwoMonitors : public E2eTest {
  protected:
    void SetUp() override {
        E2eTest::SetUp();
        second_.cbSize = sizeof second_;
        const POINT right{GetSystemMetrics(SM_CXSCREEN), 0};
        if (GetSystemMetrics(SM_CMONITORS) < 2 ||
            !GetMonitorInfoA(MonitorFromPoint(right, 0), &second_)) {
            ASSERT_FALSE(std::getenv("PAKICO_TWO_MONITORS")) << "the display shows one monitor";
            GTEST_SKIP() << "one monitor: the test command runs this on a display of two";
        }
    }

    // Inside the second monitor's work area; a window without an owner in the monitor's middle.
    void ExpectOnSecond(HWND window, const char* what, bool centred = false) const {
        RECT r{}, inside{};
        ASSERT_TRUE(GetWindowRect(window, &r)) << what << " did not open";
        EXPECT_TRUE(IntersectRect(&inside, &r, &second_.rcWork) && EqualRect(&inside, &r))
            << what << " at " << r.left << "," << r.top << " - " << r.right << "," << r.bottom;
        const RECT& m = second_.rcMonitor;
        EXPECT_TRUE(!centred || (std::abs((m.left + m.right - r.left - r.right) / 2) <= 1 &&
                                 std::abs((m.top + m.bottom - r.top - r.bottom) / 2) <= 1))
            << what << " is not in the middle";
    }

    MONITORINFO second_{};
};

} // namespace

// The cat on the second monitor; each window of the program in turn: the settings, the About
// box, the folder dialog, the new-folder dialog over it, the question that starts a watch (no
// owner) and the open dialog.
TEST_F(TwoMonitors, EveryWindowOpensOnTheCatsMonitor) {
    TempFolder folder("mon");
    const std::string folderPath = folder.path().substr(0, folder.path().size() - 1);
    WriteHistoryList("History\\TreeDlg", {folderPath});
    WriteHistoryList("history\\ArchiveFile\\Path", {folderPath});
    const RECT& m = second_.rcMonitor;
    SaveCatPlace(static_cast<DWORD>(m.left + 276), static_cast<DWORD>(m.top + 250));
    PakicoRun pakico;
    ASSERT_TRUE(pakico.Start());
    ASSERT_EQ(m.left + 276, pakico.Frame().left);
    auto open = [&](const std::vector<WORD>& keys, const char* caption) {
        EXPECT_TRUE(pakico.WaitForLayer("CoolForm1", kSettleMs)) << "the cat is ready again";
        ChooseFromMenu(pakico, keys);
        return WaitForDialog(pakico.ProcessId(), caption);
    };
    HWND settings = open({'G'}, "環境設定 - Pakico");
    ExpectOnSecond(settings, "the settings");
    EXPECT_TRUE(CloseDialog(settings, IDCANCEL));
    HWND about = open({'A'}, "About Pakico");
    ExpectOnSecond(about, "the About box", true);
    EXPECT_TRUE(CloseDialog(about, IDOK));
    HWND folders = open({'N'}, "監視フォルダの選択");
    ExpectOnSecond(folders, "the folder dialog");
    HWND button = GetDlgItem(folders, IDC_TREE_BTNMKDIR);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(button); }, kSettleMs)) << "no folder";
    PostMessageA(button, BM_CLICK, 0, 0);
    HWND newFolder = WaitForDialog(pakico.ProcessId(), "新しいフォルダの作成");
    ExpectOnSecond(newFolder, "the new-folder dialog");
    EXPECT_TRUE(CloseDialog(newFolder, IDCANCEL));
    PostMessageA(folders, WM_COMMAND, IDOK, 0);
    HWND startWatch = WaitForDialog(pakico.ProcessId(), "確認");
    ExpectOnSecond(startWatch, "the question that starts a watch", true);
    EXPECT_TRUE(CloseDialog(startWatch, IDNO));
    HWND openDialog = open({'R', 'P', '0'}, "書庫を開く (複数選択可)");
    ExpectOnSecond(openDialog, "the open dialog");
    EXPECT_TRUE(CloseDialog(openDialog, IDCANCEL));
}
