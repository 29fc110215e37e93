// The folder dialog's actions on folders: the new-folder dialog with Japanese names and its
// checks, renaming, deleting to the recycle bin, refreshing, the shell's context menu, the
// watcher and the network buttons.
#include "e2e/FolderDialogDriver.h"

#include "folders/MKDirFormRes.h"
#include "folders/TreeFormRes.h"

using namespace e2e;
using namespace testing_support;

namespace {

constexpr const char* kCaption = "フォルダの選択";

std::size_t CountFiles(const std::string& pattern) {
    WIN32_FIND_DATAA found = {};
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    std::size_t count = 0;
    do
        ++count;
    while (FindNextFileA(search, &found));
    FindClose(search);
    return count;
}

class FolderTreeActions : public E2eTest {
  protected:
    void SetUp() override {
        E2eTest::SetUp();
        for (const char* name : {"old", "old\\inner", "gone", "keep", "a", "a\\b"})
            ASSERT_TRUE(CreateDirectoryA((base + "\\" + name).c_str(), nullptr)) << name;
        // "a¥b": code page 932 has no "¥"; its nearest look-alike there is "\".
        const std::wstring wideBase(base.begin(), base.end());
        ASSERT_TRUE(CreateDirectoryW((wideBase + L"\\a\u00A5b").c_str(), nullptr));
        picker = std::make_unique<FolderPickerRun>("", "", "", base);
        ASSERT_TRUE(picker->Open(kCaption));
        ASSERT_TRUE(picker->WaitForSelectedPath(base));
        baseNode = picker->Selected();
    }
    void TearDown() override {
        picker.reset();
        E2eTest::TearDown();
    }
    // Selects a child of the base folder with a real click.
    HTREEITEM Pick(const std::string& name) {
        HTREEITEM node = picker->WaitForChild(baseNode, name, kSettleMs);
        if (node) {
            picker->ClickItem(node);
            picker->WaitForSelectedPath(base + "\\" + name);
        }
        return node;
    }
    // Clears the name box and types `text` into it.
    static void Retype(HWND edit, const std::wstring& text) {
        SendMessageA(edit, EM_SETSEL, 0, -1);
        PressKey(VK_DELETE);
        TypeText(text);
    }
    std::string EditText(HWND edit) { return WindowTextOf(edit); }
    // Makes a folder from outside in the selected and watched folder and waits for the tree to
    // show it below `node` by itself. The watch starts half a second after the selection
    // settled; when it started only after the folder was made, a second folder wakes it.
    HTREEITEM MadeOutside(HTREEITEM node, const std::string& folder, const std::string& name) {
        if (!CreateDirectoryA((folder + "\\" + name).c_str(), nullptr))
            return nullptr;
        if (!picker->WaitForChild(node, name, 3000))
            CreateDirectoryA((folder + "\\" + name + "2").c_str(), nullptr);
        return picker->WaitForChild(node, name, kSettleMs);
    }
    bool WaitForLabelEdit(bool editing) {
        return WaitUntil(
            [&] { return (TreeView_GetEditControl(picker->Tree()) != nullptr) == editing; },
            kSettleMs);
    }

    TempFolder scratch{"acts"};
    std::string base = scratch.path().substr(0, scratch.path().size() - 1);
    std::unique_ptr<FolderPickerRun> picker;
    HTREEITEM baseNode = nullptr;
};

TEST_F(FolderTreeActions, NewFolderWithJapaneseNamesAndRefusedCharacters) {
    picker->Press(IDC_TREE_BTNMKDIR);
    SeenBox form = WaitForBox(picker->ProcessId(), {picker->Dialog()});
    ASSERT_NE(nullptr, form.window);
    EXPECT_EQ("新しいフォルダの作成", form.caption);
    EXPECT_EQ(base, WindowTextOf(GetDlgItem(form.window, IDC_MKDIR_BASEDIR)));
    HWND edit = GetDlgItem(form.window, IDC_MKDIR_DIRNAME);
    HWND ok = GetDlgItem(form.window, IDOK);
    EXPECT_FALSE(IsWindowEnabled(ok));
    SetForegroundWindow(form.window);

    // Typed characters arrive whole; the forbidden ones are dropped as they are typed.
    TypeText(L"表:ソ|ポ\\*?");
    EXPECT_EQ("表ソポ", EditText(edit));
    EXPECT_TRUE(IsWindowEnabled(ok));
    Retype(edit, L"   ");
    EXPECT_FALSE(IsWindowEnabled(ok)) << "a name of blanks";

    // A comma gets through typing but not the check.
    Retype(edit, L"a,b");
    PressKey(VK_RETURN);
    SeenBox refused = WaitForBox(picker->ProcessId(), {picker->Dialog(), form.window});
    ASSERT_NE(nullptr, refused.window);
    EXPECT_NE(std::string::npos, refused.text.find("ファイル名には次の文字は使えません。"));
    ClickBoxButton(refused.window, {"OK"});
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(refused.window); }, kSettleMs));

    // An existing folder is reported.
    SetForegroundWindow(form.window);
    Retype(edit, L"keep");
    PressKey(VK_RETURN);
    SeenBox exists = WaitForBox(picker->ProcessId(), {picker->Dialog(), form.window});
    EXPECT_EQ("警告", exists.caption);
    EXPECT_EQ("フォルダ:" + base + "\\keep\r\nすでに存在しています。", exists.text);
    ClickBoxButton(exists.window, {"OK"});
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(exists.window); }, kSettleMs));

    // 表示: its bytes 95 5C 8E A6 hold a trail byte equal to "\".
    SetForegroundWindow(form.window);
    Retype(edit, L"表示");
    EXPECT_EQ("\x95\x5C\x8E\xA6", EditText(edit));
    PressKey(VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(form.window); }, kSettleMs));
    EXPECT_TRUE(picker->WaitForSelectedPath(base + "\\表示"))
        << picker->Text(IDC_TREE_SELECTEDPATH);
    WIN32_FIND_DATAA found = {};
    HANDLE search = FindFirstFileA((base + "\\\x95\x5C*").c_str(), &found);
    ASSERT_NE(INVALID_HANDLE_VALUE, search);
    FindClose(search);
    EXPECT_EQ("\x95\x5C\x8E\xA6", std::string(found.cFileName));
    EXPECT_TRUE(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    // The same folder by its Unicode name: 表示, not some other pair of characters.
    const std::wstring wideBase(base.begin(), base.end());
    const DWORD attributes = GetFileAttributesW((wideBase + L"\\表示").c_str());
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, attributes);

    // A folder that cannot be made (here a name longer than any file system takes) is reported
    // with the system's reason and its code.
    picker->Press(IDC_TREE_BTNMKDIR);
    SeenBox again = WaitForBox(picker->ProcessId(), {picker->Dialog()});
    ASSERT_NE(nullptr, again.window);
    const std::string tooLong(300, 'x');
    SendMessageA(GetDlgItem(again.window, IDC_MKDIR_DIRNAME), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(tooLong.c_str()));
    SetForegroundWindow(again.window);
    PressKey(VK_RETURN);
    SeenBox failed = WaitForBox(picker->ProcessId(), {picker->Dialog(), again.window});
    ASSERT_NE(nullptr, failed.window);
    EXPECT_EQ("エラー", failed.caption);
    const std::string lead = "フォルダ:" + tooLong + "\r\n指定したフォルダは作成できません。\r\n[";
    EXPECT_EQ(0u, failed.text.find(lead)) << failed.text;
    const std::size_t close = failed.text.find("]：");
    ASSERT_NE(std::string::npos, close);
    EXPECT_NE(0, std::atoi(failed.text.substr(lead.size(), close - lead.size()).c_str()));
    EXPECT_GT(failed.text.size(), close + 3) << "no reason given";
    ClickBoxButton(failed.window, {"OK"});
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(failed.window); }, kSettleMs));
    EXPECT_TRUE(IsWindow(again.window)) << "the dialog stays for another name";
    PostMessageA(again.window, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(again.window); }, kSettleMs));

    picker->Press(IDCANCEL);
    FolderPickerRun::Outcome outcome = picker->WaitForOutcome();
    EXPECT_EQ(2, outcome.result);
    EXPECT_EQ(0, outcome.leaks);
    EXPECT_TRUE(outcome.errors.empty()) << outcome.errors.front();
}

TEST_F(FolderTreeActions, RenameDeleteRefreshContextMenuAndWatch) {
    HTREEITEM old = Pick("old");
    ASSERT_NE(nullptr, old);
    PressKey(VK_RIGHT);
    ASSERT_NE(nullptr, picker->WaitForChild(old, "inner", kSettleMs));
    ASSERT_NE(nullptr, MadeOutside(old, base + "\\old", "seen")) << "the watch did not start";

    // Rename "old" by the button to a name with 0x5C trail bytes: the folder is renamed on disk,
    // its stale children are listed again, and the watch follows it to its new name.
    picker->Press(IDC_TREE_BTNRENAME);
    ASSERT_TRUE(WaitForLabelEdit(true));
    HWND label = TreeView_GetEditControl(picker->Tree());
    SendMessageA(label, EM_SETSEL, 0, -1);
    TypeText(L"表ソ");
    PressKey(VK_RETURN);
    EXPECT_TRUE(WaitUntil([&] { return FileExists(base + "\\表ソ\\inner"); }, kSettleMs));
    EXPECT_FALSE(FileExists(base + "\\old"));
    EXPECT_TRUE(IsWindowVisible(picker->Dialog())) << "Enter in the label closed the dialog";
    EXPECT_TRUE(picker->WaitForSelectedPath(base + "\\表ソ"));
    EXPECT_EQ("表ソ", picker->ItemText(old));
    PressKey(VK_RIGHT);
    ASSERT_NE(nullptr, picker->WaitForChild(old, "inner", kSettleMs));
    EXPECT_NE(nullptr, MadeOutside(old, base + "\\表ソ", "later"));
    EXPECT_EQ(base + "\\表ソ", picker->Text(IDC_TREE_SELECTEDPATH)) << "the selection moved";

    // A new folder in the renamed folder is made there and stays selected.
    picker->Press(IDC_TREE_BTNMKDIR);
    SeenBox form = WaitForBox(picker->ProcessId(), {picker->Dialog()});
    ASSERT_NE(nullptr, form.window);
    EXPECT_EQ(base + "\\表ソ", WindowTextOf(GetDlgItem(form.window, IDC_MKDIR_BASEDIR)));
    SetForegroundWindow(form.window);
    TypeText(L"新");
    PressKey(VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(form.window); }, kSettleMs));
    EXPECT_TRUE(FileExists(base + "\\表ソ\\新"));
    EXPECT_TRUE(picker->WaitForSelectedPath(base + "\\表ソ\\新"));
    HTREEITEM inner = picker->WaitForChild(old, "inner", kSettleMs);
    ASSERT_NE(nullptr, inner);
    picker->ClickItem(inner);
    EXPECT_TRUE(picker->WaitForSelectedPath(base + "\\表ソ\\inner"));

    // Delete "gone" after the shell's confirmation: it goes to the recycle bin, which the test
    // prefix keeps in the build tree.
    char trash[MAX_PATH] = "";
    ASSERT_NE(0u, GetEnvironmentVariableA("XDG_DATA_HOME", trash, sizeof trash));
    std::string trashed = std::string("Z:") + trash + "/Trash/files/gone*";
    for (char& c : trashed)
        if (c == '/')
            c = '\\';
    const std::size_t trashedBefore = CountFiles(trashed);
    Pick("gone");
    picker->Press(IDC_TREE_BTNDELETE);
    SeenBox confirm = WaitForBox(picker->ProcessId(), {picker->Dialog()});
    ASSERT_NE(nullptr, confirm.window) << "no confirmation";
    PostMessageA(GetDlgItem(confirm.window, IDYES), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !FileExists(base + "\\gone"); }, kSettleMs));
    EXPECT_TRUE(WaitUntil([&] { return !picker->Child(baseNode, "gone"); }, kSettleMs));
    EXPECT_EQ(trashedBefore + 1, CountFiles(trashed)) << trashed;

    // Neither the root, nor the computer (which says it could be both), nor a drive, nor a folder
    // whose path has no exact form in the code page can be renamed or deleted, by button or key.
    HTREEITEM drive = baseNode;
    while (drive && TreeView_GetParent(picker->Tree(), TreeView_GetParent(picker->Tree(), drive)) !=
                        picker->Root())
        drive = TreeView_GetParent(picker->Tree(), drive);
    ASSERT_NE(nullptr, drive);
    HTREEITEM computer = TreeView_GetParent(picker->Tree(), drive);
    HTREEITEM yen = picker->Child(baseNode, "a\\b"); // its label best fitted
    ASSERT_NE(nullptr, yen);
    for (HTREEITEM node : {picker->Root(), computer, drive, yen}) {
        picker->ClickItem(node);
        ASSERT_TRUE(WaitUntil([&] { return picker->Selected() == node; }, kSettleMs));
        if (node == drive) {
            EXPECT_TRUE(picker->WaitForSelectedPath("C:\\"));
        }
        if (node == computer || node == yen) {
            // No path, no free space, nothing to confirm or create in.
            EXPECT_TRUE(picker->WaitForSelectedPath(""));
            EXPECT_EQ("", picker->Status());
            for (int id : {IDOK, IDC_TREE_BTNMKDIR, IDC_TREE_BTNHISTORY})
                EXPECT_FALSE(picker->Enabled(id)) << id;
        }
        EXPECT_FALSE(picker->Enabled(IDC_TREE_BTNRENAME)) << picker->ItemText(node);
        EXPECT_FALSE(picker->Enabled(IDC_TREE_BTNDELETE)) << picker->ItemText(node);
        PressKey(VK_F2);
        EXPECT_EQ(nullptr, TreeView_GetEditControl(picker->Tree()));
        PressKey(VK_DELETE);
        EXPECT_EQ(nullptr, WaitForBox(picker->ProcessId(), {picker->Dialog()}, 1000).window);
    }
    // Enter on "a¥b" confirms no folder, least of all "a\b".
    picker->ClickItem(yen);
    PressKey(VK_RETURN);
    EXPECT_EQ(nullptr, WaitForBox(picker->ProcessId(), {picker->Dialog()}, 1000).window);
    ASSERT_TRUE(IsWindowVisible(picker->Dialog()));
    EXPECT_TRUE(FileExists(base + "\\a\\b"));

    // A folder made while "keep" is watched appears in the base only after refreshing it.
    Pick("keep");
    ASSERT_TRUE(CreateDirectoryA((base + "\\fresh").c_str(), nullptr));
    Sleep(1500);
    EXPECT_EQ(nullptr, picker->Child(baseNode, "fresh"));
    picker->ClickItem(baseNode);
    picker->Press(IDC_TREE_BTNREPAINT);
    EXPECT_NE(nullptr, picker->WaitForChild(baseNode, "fresh", kSettleMs));

    // With the base selected and watched, a folder made from outside appears by itself.
    EXPECT_NE(nullptr, MadeOutside(baseNode, base, "outside"));

    // The shell's context menu opens on a right click and closes with Escape.
    picker->ClickItem(picker->Child(baseNode, "keep"), true);
    EXPECT_TRUE(WaitUntil([&] { return VisibleMenu(picker->ProcessId()) != nullptr; }, kSettleMs));
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return VisibleMenu(picker->ProcessId()) == nullptr; }, kSettleMs));
    EXPECT_TRUE(IsWindowVisible(picker->Dialog()));

    // Both network commands meet no network here: one message each, nothing more.
    ASSERT_TRUE(picker->Enabled(IDC_TREE_BTNNET));
    {
        for (int downs : {1, 2}) {
            picker->Press(IDC_TREE_BTNNET);
            ASSERT_TRUE(
                WaitUntil([&] { return VisibleMenu(picker->ProcessId()) != nullptr; }, kSettleMs));
            for (int i = 0; i < downs; ++i)
                PressKey(VK_DOWN);
            PressKey(VK_RETURN);
            SeenBox network = WaitForBox(picker->ProcessId(), {picker->Dialog()});
            EXPECT_EQ("Pakico", network.caption);
            EXPECT_EQ("ネットワークは機能していません。", network.text);
            ClickBoxButton(network.window, {"OK"});
            ASSERT_TRUE(WaitUntil([&] { return !IsWindow(network.window); }, kSettleMs));
            EXPECT_EQ(nullptr, WaitForBox(picker->ProcessId(), {picker->Dialog()}, 1000).window);
        }
    }

    // F2 and Enter with the name as it was change nothing: the open folder stays open.
    picker->ClickItem(baseNode);
    ASSERT_TRUE(picker->WaitForSelectedPath(base));
    HTREEITEM keep = picker->Child(baseNode, "keep");
    PressKey(VK_F2);
    ASSERT_TRUE(WaitForLabelEdit(true));
    PressKey(VK_RETURN);
    ASSERT_TRUE(WaitForLabelEdit(false));
    EXPECT_TRUE(picker->ItemInfo(baseNode).state & TVIS_EXPANDED);
    EXPECT_EQ(keep, picker->Child(baseNode, "keep"));

    picker->Press(IDCANCEL);
    FolderPickerRun::Outcome outcome = picker->WaitForOutcome();
    EXPECT_EQ(2, outcome.result);
    EXPECT_EQ(0, outcome.leaks);
    EXPECT_TRUE(outcome.errors.empty()) << outcome.errors.front();
}

} // namespace
