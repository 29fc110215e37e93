// The folder dialog in this process, for what cannot be made from outside: a drive whose
// medium is out.
#include "folders/TreeForm.h"

#include <gtest/gtest.h>

#include "folders/FolderItemData.h"
#include "folders/TreeFormRes.h"
#include "support/WinTestSupport.h"

namespace {

// What a timer inside the dialog's modal loop saw before it cancelled the dialog.
struct Seen {
    TTreeForm* form = nullptr;
    std::string path;
    std::string status;
    bool okEnabled = false;
} seen;

void CALLBACK LookAndCancel(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND dialog = seen.form->Handle();
    if (!dialog || seen.form->TreeFrame.SystemTreeView.Selection().empty())
        return; // not selected yet
    KillTimer(nullptr, timer);
    char text[512] = "";
    GetDlgItemTextA(dialog, IDC_TREE_SELECTEDPATH, text, sizeof text);
    seen.path = text;
    SendDlgItemMessageA(dialog, IDC_TREE_STATUSBAR, WM_GETTEXT, sizeof text,
                        reinterpret_cast<LPARAM>(text));
    seen.status = text;
    seen.okEnabled = IsWindowEnabled(GetDlgItem(dialog, IDOK)) != FALSE;
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}

} // namespace

TEST(TreeForm, DriveWithoutMediumShownNotReadyInTheStatusBar) {
    folders::TShellSession session;
    testing_support::TempFolder folder("nrdy");
    const std::string path = folder.path().substr(0, folder.path().size() - 1);
    TTreeForm form(nullptr);
    form.Caption = "フォルダの選択";
    form.TreeFrame.InitialFolder = path;
    form.TreeFrame.DriveReady = [](const std::string&) { return false; };
    form.TreeFrame.OnVolumeStatus = [&form](TTreeFrame& frame, const std::string& text,
                                            double total, double free) {
        form.ShowVolumeStatus(frame, text, total, free);
    };
    seen = Seen{};
    seen.form = &form;
    UINT_PTR timer = SetTimer(nullptr, 0, 100, &LookAndCancel);
    form.ShowModal(nullptr);
    KillTimer(nullptr, timer);

    EXPECT_EQ(path, seen.path);
    EXPECT_EQ(path.substr(0, 3) + " ノットレディ.", seen.status);
    EXPECT_TRUE(seen.okEnabled);
    EXPECT_TRUE(form.TreeFrame.Cancelled);
    EXPECT_EQ(0, folders::LiveFolderDataCount());
}
