// The folder dialog as a person uses it: opening on a folder, the lazily filled shell tree with
// Japanese names and shell icons, picking by click and by history, back and forward, the free
// space, confirming and cancelling; the new-folder dialog; renaming, deleting, refreshing, the
// context menu and the watcher.
#include "e2e/FolderDialogDriver.h"

#include "folders/TreeFormRes.h"

using namespace e2e;
using namespace testing_support;

namespace {

constexpr const char* kCaption = "監視フォルダの選択";
constexpr const char* kSubtitle = "監視するフォルダを選択";

class FolderDialog : public E2eTest {
  protected:
    // Folders below a fresh scratch folder; `base` has no trailing separator.
    void MakeFolders(const std::vector<std::string>& relative) {
        for (const std::string& path : relative)
            ASSERT_TRUE(CreateDirectoryA((base + "\\" + path).c_str(), nullptr)) << path;
    }
    // The tree node of a folder below `base`, found by walking the names the tree shows.
    HTREEITEM NodeOf(FolderPickerRun& picker, const std::string& relative) {
        HTREEITEM node = picker.Selected();
        // The dialog opened on `base` or below; climb to the node showing base's name.
        const std::string baseName = base.substr(base.rfind('\\') + 1);
        while (node && picker.ItemText(node) != baseName)
            node = TreeView_GetParent(picker.Tree(), node);
        std::size_t start = 0;
        while (node && start < relative.size()) {
            std::size_t end = relative.find('\\', start);
            if (end == std::string::npos)
                end = relative.size();
            node = picker.Child(node, relative.substr(start, end - start));
            start = end + 1;
        }
        return node;
    }
    void WriteHistory(const std::vector<std::string>& entries) {
        WriteSettingNumber("History\\TreeDlg", "Count", static_cast<DWORD>(entries.size()));
        for (std::size_t i = 0; i < entries.size(); ++i)
            WriteSettingText("History\\TreeDlg", std::to_string(i), entries[i]);
    }
    std::string ReadHistory(int index) {
        HKEY key = nullptr;
        char text[512] = "";
        DWORD size = sizeof text;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Tavi\\Morva\\History\\TreeDlg", 0, KEY_READ,
                          &key) == ERROR_SUCCESS) {
            RegQueryValueExA(key, std::to_string(index).c_str(), nullptr, nullptr,
                             reinterpret_cast<BYTE*>(text), &size);
            RegCloseKey(key);
        }
        return text;
    }

    TempFolder scratch{"tree"};
    std::string base = scratch.path().substr(0, scratch.path().size() - 1);
};

TEST_F(FolderDialog, PickByClickHistoryBackAndForwardThenConfirm) {
    MakeFolders({"表示", "表示\\ソフト", "plain", "plain\\sub", "empty"});
    const std::string vanished = base + "\\vanished";
    WriteHistory({vanished, base + "\\plain", base + "\\表示\\ソフト"});
    WriteSettingNumber("Dialog", "TreeDlg_Width", 520);
    WriteSettingNumber("Dialog", "TreeDlg_Height", 430);

    FolderPickerRun picker(kCaption, kSubtitle, "", base + "\\表示");
    ASSERT_TRUE(picker.Open(kCaption));
    RECT frame = {};
    GetWindowRect(picker.Dialog(), &frame);
    EXPECT_EQ(520, frame.right - frame.left);
    EXPECT_EQ(430, frame.bottom - frame.top);
    EXPECT_EQ(kSubtitle, picker.Text(IDC_TREE_SUBTITLE1));

    // Opened on the initial folder, with its Japanese name, path, free space and OK enabled.
    ASSERT_TRUE(picker.WaitForSelectedPath(base + "\\表示"));
    EXPECT_EQ("表示", picker.ItemText(picker.Selected()));
    EXPECT_EQ(0u, picker.Status().find("C:\\ 空きディスク領域: ")) << picker.Status();
    EXPECT_TRUE(picker.Enabled(IDOK));
    // Only the way to the folder was listed: "plain" shows its button but has no children yet.
    HTREEITEM plain = NodeOf(picker, "plain");
    ASSERT_NE(nullptr, plain);
    EXPECT_EQ(1, picker.ItemInfo(plain).cChildren);
    EXPECT_TRUE(picker.Children(plain).empty());
    // "empty" has nothing to list: after the first attempt to open it there is no button.
    HTREEITEM empty = NodeOf(picker, "empty");
    ASSERT_NE(nullptr, empty);
    picker.ClickItem(empty);
    ASSERT_TRUE(picker.WaitForSelectedPath(base + "\\empty"));
    PressKey(VK_RIGHT);
    EXPECT_TRUE(WaitUntil([&] { return picker.ItemInfo(empty).cChildren == 0; }, kSettleMs));
    EXPECT_TRUE(picker.Children(empty).empty());
    // Icons come from the shell: folders share the folder icon, the desktop has its own.
    EXPECT_NE(nullptr, TreeView_GetImageList(picker.Tree(), TVSIL_NORMAL));
    EXPECT_EQ(picker.ItemInfo(plain).iImage, picker.ItemInfo(picker.Selected()).iImage);
    EXPECT_NE(picker.ItemInfo(picker.Root()).iImage, picker.ItemInfo(plain).iImage);

    // A click picks "plain"; the right arrow opens it and lists its child then.
    picker.ClickItem(plain);
    ASSERT_TRUE(picker.WaitForSelectedPath(base + "\\plain"));
    PressKey(VK_RIGHT);
    EXPECT_NE(nullptr, picker.WaitForChild(plain, "sub", kSettleMs));

    // Back and forward over 表示, empty, plain.
    EXPECT_TRUE(picker.Enabled(IDC_TREE_BTNBWD));
    EXPECT_FALSE(picker.Enabled(IDC_TREE_BTNFWD));
    picker.Press(IDC_TREE_BTNBWD);
    EXPECT_TRUE(picker.WaitForSelectedPath(base + "\\empty"));
    picker.Press(IDC_TREE_BTNBWD);
    EXPECT_TRUE(picker.WaitForSelectedPath(base + "\\表示"));
    EXPECT_FALSE(picker.Enabled(IDC_TREE_BTNBWD));
    EXPECT_TRUE(picker.Enabled(IDC_TREE_BTNFWD));
    picker.Press(IDC_TREE_BTNFWD);
    picker.Press(IDC_TREE_BTNFWD);
    EXPECT_TRUE(picker.WaitForSelectedPath(base + "\\plain"));
    EXPECT_FALSE(picker.Enabled(IDC_TREE_BTNFWD));

    // The first history entry has vanished: reported, then dropped from the combo.
    HWND combo = picker.Item(IDC_TREE_HISCMBPATH);
    ASSERT_EQ(3, SendMessageA(combo, CB_GETCOUNT, 0, 0));
    RECT box = {};
    GetWindowRect(combo, &box);
    ClickAt({(box.left + box.right) / 2, (box.top + box.bottom) / 2});
    PressKey(VK_HOME);
    PressKey(VK_RETURN);
    SeenBox error = WaitForBox(picker.ProcessId(), {picker.Dialog()});
    ASSERT_NE(nullptr, error.window) << "no message for the vanished folder";
    EXPECT_EQ("エラー", error.caption);
    EXPECT_EQ("フォルダ： " + vanished + "\r\n指定のフォルダは存在しません", error.text);
    ASSERT_TRUE(ClickBoxButton(error.window, {"OK"}));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(error.window); }, kSettleMs));
    EXPECT_EQ(2, SendMessageA(combo, CB_GETCOUNT, 0, 0));
    EXPECT_TRUE(picker.WaitForSelectedPath(base + "\\plain")) << "the selection moved";

    // The next entry down is picked from the list.
    ClickAt({(box.left + box.right) / 2, (box.top + box.bottom) / 2});
    PressKey(VK_DOWN);
    PressKey(VK_RETURN);
    EXPECT_TRUE(picker.WaitForSelectedPath(base + "\\表示\\ソフト"));

    picker.Press(IDOK);
    FolderPickerRun::Outcome outcome = picker.WaitForOutcome();
    EXPECT_EQ(1, outcome.result);
    EXPECT_EQ(base + "\\表示\\ソフト", outcome.path);
    EXPECT_EQ(0, outcome.leaks);
    EXPECT_TRUE(outcome.errors.empty()) << outcome.errors.front();
    // The history holds the choice on top, without the vanished folder; the size is kept.
    DWORD count = 0, width = 0;
    EXPECT_TRUE(ReadSettingNumber("History\\TreeDlg", "Count", count));
    EXPECT_EQ(2u, count);
    EXPECT_EQ(base + "\\表示\\ソフト", ReadHistory(0));
    EXPECT_EQ(base + "\\plain", ReadHistory(1));
    EXPECT_TRUE(ReadSettingNumber("Dialog", "TreeDlg_Width", width));
    EXPECT_EQ(520u, width);
}

// Cancel, Escape and the close box end alike: 2, no path, the size written. A history key
// without a sensible "Count" still opens, on the entries that can be read.
TEST_F(FolderDialog, CancelEscapeAndCloseBoxWithBrokenHistoryKeys) {
    MakeFolders({"first"});
    enum class Way { Cancel, Escape, CloseBox };
    struct Case {
        Way way;
        bool withCount;
        DWORD count;
    } cases[] = {{Way::Cancel, false, 0},
                 {Way::Escape, true, 0xFFFFFFF9u},
                 {Way::CloseBox, true, 0x7FFFFFFF}};
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.way));
        ClearSettings();
        WriteSettingText("History\\TreeDlg", "0", base + "\\first");
        if (c.withCount)
            WriteSettingNumber("History\\TreeDlg", "Count", c.count);

        FolderPickerRun picker("", "", "", "");
        ASSERT_TRUE(picker.Open("フォルダの選択"));
        EXPECT_EQ(1, SendMessageA(picker.Item(IDC_TREE_HISCMBPATH), CB_GETCOUNT, 0, 0));
        // No initial folder: the first history entry is selected.
        EXPECT_TRUE(picker.WaitForSelectedPath(base + "\\first"));
        // The dialog is not made smaller than its minimum.
        SetWindowPos(picker.Dialog(), nullptr, 0, 0, 200, 150, SWP_NOMOVE | SWP_NOZORDER);
        RECT frame = {};
        GetWindowRect(picker.Dialog(), &frame);
        EXPECT_EQ(388, frame.right - frame.left);
        EXPECT_EQ(362, frame.bottom - frame.top);
        switch (c.way) {
        case Way::Cancel:
            picker.Press(IDCANCEL);
            break;
        case Way::Escape:
            picker.Front();
            PressKey(VK_ESCAPE);
            break;
        case Way::CloseBox:
            PostMessageA(picker.Dialog(), WM_SYSCOMMAND, SC_CLOSE, 0);
            break;
        }
        FolderPickerRun::Outcome outcome = picker.WaitForOutcome();
        EXPECT_EQ(2, outcome.result);
        EXPECT_EQ("", outcome.path);
        EXPECT_EQ(0, outcome.leaks);
        EXPECT_TRUE(outcome.errors.empty()) << outcome.errors.front();
        DWORD width = 0, height = 0;
        EXPECT_TRUE(ReadSettingNumber("Dialog", "TreeDlg_Width", width));
        EXPECT_TRUE(ReadSettingNumber("Dialog", "TreeDlg_Height", height));
        EXPECT_EQ(388u, width);
        EXPECT_EQ(362u, height);
    }
}

// "履歴保存" puts the selected folder on top of the history; "履歴の削除(&D)", from the combo's
// menu or from the arrow of "履歴保存", asks first, keeps everything on No and empties the saved
// history on Yes.
TEST_F(FolderDialog, HistorySavedAndDeletedFromItsMenu) {
    MakeFolders({"first", "second"});
    WriteHistory({base + "\\second"});
    FolderPickerRun picker(kCaption, kSubtitle, "", base + "\\first");
    ASSERT_TRUE(picker.Open(kCaption));
    ASSERT_TRUE(picker.WaitForSelectedPath(base + "\\first"));
    HWND combo = picker.Item(IDC_TREE_HISCMBPATH);
    picker.Press(IDC_TREE_BTNHISTORY);
    ASSERT_EQ(2, SendMessageA(combo, CB_GETCOUNT, 0, 0));
    EXPECT_EQ(0, SendMessageA(combo, CB_GETCURSEL, 0, 0));
    EXPECT_EQ(base + "\\first", picker.ComboItem(IDC_TREE_HISCMBPATH, 0));
    EXPECT_EQ(base + "\\second", picker.ComboItem(IDC_TREE_HISCMBPATH, 1));

    struct Way {
        int answer;
        HWND control;
        bool right; // a right click in the middle, or a left click on the arrow at the right
    } ways[] = {{IDNO, combo, true}, {IDYES, picker.Item(IDC_TREE_BTNHISTORY), false}};
    for (const auto& [answer, control, right] : ways) {
        RECT box = {};
        GetWindowRect(control, &box);
        picker.Front();
        ClickAt({right ? (box.left + box.right) / 2 : box.right - 6, (box.top + box.bottom) / 2},
                right);
        ASSERT_TRUE(
            WaitUntil([&] { return VisibleMenu(picker.ProcessId()) != nullptr; }, kSettleMs));
        PressKey(VK_DOWN);
        PressKey(VK_RETURN);
        SeenBox question = WaitForBox(picker.ProcessId(), {picker.Dialog()});
        ASSERT_NE(nullptr, question.window);
        EXPECT_EQ("確認", question.caption);
        EXPECT_EQ("参照先のフォルダ履歴を削除してもよろしいですか？", question.text);
        PostMessageA(GetDlgItem(question.window, answer), BM_CLICK, 0, 0);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(question.window); }, kSettleMs));
        EXPECT_EQ(answer == IDNO ? 2 : 0, SendMessageA(combo, CB_GETCOUNT, 0, 0));
    }
    DWORD count = 99;
    EXPECT_TRUE(ReadSettingNumber("History\\TreeDlg", "Count", count));
    EXPECT_EQ(0u, count);

    // Cancelling writes no history.
    picker.Press(IDCANCEL);
    EXPECT_EQ(2, picker.WaitForOutcome().result);
    EXPECT_TRUE(ReadSettingNumber("History\\TreeDlg", "Count", count));
    EXPECT_EQ(0u, count);
}

} // namespace
