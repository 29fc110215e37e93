// The archive open dialog's layout under Wine: each label (the platform's and the history's)
// shows its whole text on one line, clear of the other controls, at 96 and at 144 dpi. The
// platform reads the density once, as a process starts, so each density is measured in a
// process of its own: this program started again, which shows the dialog, measures it from
// inside (each label in its own font) and writes what it saw for the test to judge.
#include <windows.h>

#include <gtest/gtest.h>

#include <commdlg.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "opendlg/CabOpenDialog.h"
#include "support/ProgramRun.h"
#include "support/WinTestSupport.h"

using namespace testing_support;

namespace {

// Names the file the measuring process writes to; set only for that process.
constexpr const char* kMeasureInto = "PAKICO_MEASURE_OPEN_DIALOG_INTO";
constexpr const char* kTitle = "書庫を開く (複数選択可)";
// GoogleTest's sharing out of tests among lanes.
constexpr const char* kTotalShards = "GTEST_TOTAL_SHARDS";
constexpr const char* kShardIndex = "GTEST_SHARD_INDEX";

bool Visible(HWND window) {
    return IsWindowVisible(window) != FALSE;
}

// The controls of the platform's dialog and of the program's child dialog in it.
std::vector<HWND> Controls(HWND dialog) {
    std::vector<HWND> controls;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (ClassOf(child) == "#32770")
            for (HWND inner = GetWindow(child, GW_CHILD); inner;
                 inner = GetWindow(inner, GW_HWNDNEXT))
                controls.push_back(inner);
        else
            controls.push_back(child);
    }
    return controls;
}

// The density; one line per combo box: its identifier, its height closed and dropped down; and
// one line per label: its text, the width and height the text takes on one line in the
// label's font, the label's own width and height, and the text or class of a shown control
// that covers part of it ("" when none does).
std::string MeasureLayout(HWND dialog) {
    std::ostringstream out;
    HDC screen = GetDC(nullptr);
    out << "dpi\t" << GetDeviceCaps(screen, LOGPIXELSY) << "\n";
    ReleaseDC(nullptr, screen);
    std::vector<HWND> controls = Controls(dialog);
    for (HWND box : controls) {
        RECT closed{}, dropped{};
        GetWindowRect(box, &closed);
        SendMessageA(box, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
        if (dropped.bottom > dropped.top)
            out << "combo\t" << GetDlgCtrlID(box) << "\t" << closed.bottom - closed.top << "\t"
                << dropped.bottom - dropped.top << "\n";
    }
    for (HWND label : controls) {
        std::string text = TextOf(label);
        if (ClassOf(label) != "Static" || text.empty() || !Visible(label))
            continue;
        HDC dc = GetDC(label);
        HGDIOBJ old =
            SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(label, WM_GETFONT, 0, 0)));
        RECT needed{};
        DrawTextA(dc, text.c_str(), -1, &needed, DT_CALCRECT | DT_SINGLELINE);
        SelectObject(dc, old);
        ReleaseDC(label, dc);
        RECT own{}, client{};
        GetWindowRect(label, &own);
        GetClientRect(label, &client);
        std::string covered;
        for (HWND other : controls) {
            RECT theirs{}, common{};
            GetWindowRect(other, &theirs);
            bool empty = ClassOf(other) == "Static" && TextOf(other).empty();
            if (other != label && Visible(other) && !empty && IntersectRect(&common, &own, &theirs))
                covered = TextOf(other).empty() ? ClassOf(other) : TextOf(other);
        }
        out << "label\t" << text << "\t" << needed.right << "\t" << needed.bottom << "\t"
            << client.right << "\t" << client.bottom << "\t" << covered << "\n";
    }
    return out.str();
}

// In the measuring process: the program's open dialog as the icon window opens it, measured
// once it shows, then cancelled.
void MeasureShownDialog(const std::string& into) {
    TempFolder folder("layout");
    TCabOpenDialog dialog(nullptr);
    dialog.Title = kTitle;
    dialog.Filter = "すべての書庫|*.lzh;*.zip|すべてのファイル(*.*)|*.*|";
    dialog.InitialDir = folder.path();
    dialog.Options = OFN_HIDEREADONLY | OFN_ALLOWMULTISELECT | OFN_PATHMUSTEXIST |
                     OFN_NOTESTFILECREATE | OFN_ENABLESIZING;
    DWORD self = GetCurrentProcessId();
    std::thread measurer([&] {
        HWND shown = nullptr;
        WaitUntil(
            [&] {
                shown = FindWindowA("#32770", kTitle);
                DWORD owner = 0;
                GetWindowThreadProcessId(shown, &owner);
                return shown && owner == self && Visible(shown);
            },
            20000);
        if (!shown)
            return;
        // Answered once the dialog's thread is back in its message loop, done with showing.
        SendMessageTimeoutA(shown, WM_NULL, 0, 0, SMTO_NORMAL, 10000, nullptr);
        std::ofstream(into, std::ios::binary) << MeasureLayout(shown);
        PostMessageA(shown, WM_COMMAND, IDCANCEL, 0);
    });
    dialog.Execute();
    measurer.join();
}

// Started with kMeasureInto set, this program measures and ends before any test runs.
class MeasuringProcess : public ::testing::Environment {
  public:
    void SetUp() override {
        char into[MAX_PATH] = "";
        if (!GetEnvironmentVariableA(kMeasureInto, into, sizeof into))
            return;
        MeasureShownDialog(into);
        ExitProcess(0);
    }
};
[[maybe_unused]] const auto* const kMeasuring =
    ::testing::AddGlobalTestEnvironment(new MeasuringProcess);

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, '\t');)
        fields.push_back(field);
    if (!line.empty() && line.back() == '\t')
        fields.emplace_back();
    return fields;
}

} // namespace

TEST(OpenDialogLayout, EveryLabelShowsWholeAtEachDensity) {
    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, sizeof self);
    for (DWORD dpi : {96u, 144u}) {
        SCOPED_TRACE(std::to_string(dpi) + " dpi");
        ScopedLogPixels density(dpi);
        ASSERT_TRUE(density.Set());
        TempFolder results("measured");
        const std::string into = results.path() + "labels.txt";
        // The whole program runs in the measuring process, not its share of a lane.
        ScopedEnvironmentVariable measure(kMeasureInto, into.c_str());
        ScopedEnvironmentVariable shards(kTotalShards, nullptr), shard(kShardIndex, nullptr);
        ProgramRun run(self, "--gtest_filter=OpenDialogLayout.*");
        ASSERT_EQ(0, run.WaitForExit(60000));
        std::vector<std::string> lines = SplitLines(ReadFileBytes(into));
        ASSERT_FALSE(lines.empty()) << "nothing measured";
        EXPECT_EQ("dpi\t" + std::to_string(dpi), lines[0]);
        int labels = 0;
        bool history = false;
        for (std::size_t i = 1; i < lines.size(); ++i) {
            std::vector<std::string> f = Fields(lines[i]);
            // Each list, dropped down, still shows several rows.
            if (f[0] == "combo") {
                ASSERT_EQ(4u, f.size()) << lines[i];
                EXPECT_GT(std::atoi(f[3].c_str()), 3 * std::atoi(f[2].c_str())) << lines[i];
                continue;
            }
            ASSERT_EQ(7u, f.size()) << lines[i];
            SCOPED_TRACE(f[1]);
            ++labels;
            history = history || f[1] == "フォルダの履歴(&H):";
            EXPECT_LE(std::atoi(f[2].c_str()), std::atoi(f[4].c_str())) << "the text's width";
            EXPECT_LE(std::atoi(f[3].c_str()), std::atoi(f[5].c_str())) << "the text's height";
            EXPECT_EQ("", f[6]) << "covered";
        }
        // Look in, file name, file type and the history.
        EXPECT_GE(labels, 4);
        EXPECT_TRUE(history);
    }
}
