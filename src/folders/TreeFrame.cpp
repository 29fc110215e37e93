// The folder dialog's frame: selection, history, back and forward, and the buttons.
#include "folders/TreeFrame.h"

#include <winnetwk.h>

#include "folders/DialogParts.h"
#include "folders/MKDirForm.h"
#include "folders/TreeFormRes.h"
#include "settings/SettingsStore.h"
#include "ui/MessageBox.h"
#include "ui/PathChecks.h"
#include "util/DpiScale.h"
#include "util/Errors.h"
#include "util/FileProbe.h"
#include "util/PathText.h"
#include "util/SystemLookups.h"

namespace {

constexpr const char* kTreeDialogHistoryKey = "Software\\Tavi\\Morva\\History\\TreeDlg";
// BCN_DROPDOWN, the click on a split button's arrow, which the headers for older systems lack.
constexpr UINT kSplitButtonDropDown = BCN_FIRST + 0x0002;

// Runs a popup menu at a point and returns the chosen command, or 0.
int TrackMenu(HWND owner, std::initializer_list<std::pair<int, const char*>> items, POINT at) {
    win::ScopedMenu menu(CreatePopupMenu());
    for (const auto& [id, text] : items)
        AppendMenuA(menu.get(), MF_STRING, static_cast<UINT_PTR>(id), text);
    SetForegroundWindow(owner);
    return static_cast<int>(
        TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, owner, nullptr));
}

} // namespace

folders::TVisitTrail& VisitTrail() {
    static folders::TVisitTrail trail;
    return trail;
}

void TTreeFrame::SetupPurpose(HWND dialog, unsigned char purpose) {
    Cancelled = true;
    ResultPath.clear();
    Purpose = purpose;
    OwnerDialog = dialog;
    // Only purpose 1 exists in this program: the folder dialog's own history.
    HisCmbPath.Key = kTreeDialogHistoryKey;
    ShowWindow(Item(IDC_TREE_BTNFAV), SW_HIDE);
    ShowWindow(Item(IDC_TREE_BTNHELP), SW_HIDE);
    HisCmbPath.Attach(Item(IDC_TREE_HISCMBPATH));
    LoadFolderHistory();
    VisitTrail().Clear();

    toolTip_ = folders::CreateHintWindow(dialog);
    for (int id : {IDC_TREE_BTNHISTORY, IDC_TREE_SELECTEDPATH, IDC_TREE_BTNBWD, IDC_TREE_BTNFWD})
        folders::AddHint(toolTip_, Item(id), "");
    SetHint(IDC_TREE_BTNHISTORY, "履歴フォルダへ保存する");

    SystemTreeView.OnChange = [this] { SystemTreeViewChange(); };
    SystemTreeView.Attach(Item(IDC_TREE_SYSTEMTREEVIEW));
    // Nothing is selected yet: OK, new folder and the history button wait for a folder.
    SystemTreeViewChange();
}

// A key without "Count", or with a count below zero, or with values of the wrong type, must not
// keep the dialog from opening: then the entries that are there are read in order.
void TTreeFrame::LoadFolderHistory() {
    std::optional<int> count;
    TWinRegistry registry;
    const bool present =
        registry.OpenKey(HKEY_CURRENT_USER, kTreeDialogHistoryKey, KEY_READ, false);
    try {
        count = present ? registry.ReadInteger("Count") : std::optional<int>(0);
        if (count && *count >= 0) {
            HisCmbPath.LoadHistory(false);
            return;
        }
    } catch (const ERegistryError&) {
    }
    HisCmbPath.ClearItems();
    for (int i = 0; i < HisCmbPath.MaxHistoryLength; ++i) {
        std::optional<std::string> text;
        try {
            text = registry.ReadString(std::to_string(i));
        } catch (const ERegistryError&) {
        }
        if (!text || text->empty())
            break;
        HisCmbPath.AddItem(*text);
    }
}

void TTreeFrame::Release() {
    SystemTreeView.Detach();
    HisCmbPath.Detach();
    if (toolTip_)
        DestroyWindow(toolTip_);
    toolTip_ = nullptr;
}

void TTreeFrame::SetSubtitles(const std::string& subtitle1, const std::string& subtitle2) {
    SetWindowTextA(Item(IDC_TREE_SUBTITLE1), subtitle1.c_str());
    SetWindowTextA(Item(IDC_TREE_SUBTITLE2), subtitle2.c_str());
}

std::string TTreeFrame::PurposeCaption() const {
    return "参照先";
}

void TTreeFrame::SetHint(int id, const std::string& text) {
    folders::SetHint(toolTip_, Item(id), text);
}

void TTreeFrame::FocusTree() {
    SetFocus(SystemTreeView.Handle());
}

void TTreeFrame::SelectInitialFolder() {
    EnableWindow(Item(IDC_TREE_BTNNET), HasNetworkNeighbourhood());
    if (!InitialFolder.empty() && FolderExists(InitialFolder))
        GoToFolder(InitialFolder);
    else if (HisCmbPath.Count() > 0 && FolderExists(HisCmbPath.Item(0)))
        GoToFolder(HisCmbPath.Item(0));
    else
        FocusTree();
}

void TTreeFrame::GoToFolder(const std::string& path) {
    if (path.empty())
        return;
    SystemTreeView.SetSelection(path);
    FocusTree();
}

void TTreeFrame::SystemTreeViewChange() {
    const std::string path = SystemTreeView.Selection();
    SetWindowTextA(Item(IDC_TREE_SELECTEDPATH), path.c_str());
    SetHint(IDC_TREE_SELECTEDPATH, path);
    VisitTrail().RecordVisit(path);
    UpdateTrailButtons();
    if (OnVolumeStatus) {
        if (path.empty() || IsUncPath(path))
            OnVolumeStatus(*this, "", -1, -1);
        else if (DriveReady(path))
            OnVolumeStatus(*this, path.substr(0, 3), DiskTotalBytes(path), DiskFreeBytes(path));
        else
            OnVolumeStatus(*this, path.substr(0, 3) + " ノットレディ.", -1, -1);
    }
    for (int id : {IDOK, IDC_TREE_BTNMKDIR, IDC_TREE_BTNHISTORY})
        EnableWindow(Item(id), !path.empty());
    UpdateNodeButtons();
}

// Rename, delete and refresh act on the selected node directly, so they are enabled by what
// that node allows rather than by where the focus is.
void TTreeFrame::UpdateNodeButtons() {
    HTREEITEM node = SystemTreeView.Selected();
    EnableWindow(Item(IDC_TREE_BTNRENAME), SystemTreeView.CanRename(node));
    EnableWindow(Item(IDC_TREE_BTNDELETE), SystemTreeView.CanDelete(node));
    EnableWindow(Item(IDC_TREE_BTNREPAINT), node != nullptr);
}

void TTreeFrame::UpdateTrailButtons() {
    const folders::TVisitTrail& trail = VisitTrail();
    EnableWindow(Item(IDC_TREE_BTNBWD), trail.CanGoBack());
    EnableWindow(Item(IDC_TREE_BTNFWD), trail.CanGoForward());
    SetHint(IDC_TREE_BTNBWD, trail.BackHint());
    SetHint(IDC_TREE_BTNFWD, trail.ForwardHint());
}

void TTreeFrame::NavigateTrail(int step) {
    folders::TVisitTrail& trail = VisitTrail();
    const std::string target = trail.NavigateTrail(step);
    if (!target.empty()) {
        trail.SetNavigating(true);
        try {
            SystemTreeView.SetSelection(target);
            FocusTree();
        } catch (...) {
            trail.SetNavigating(false);
            throw;
        }
        trail.SetNavigating(false);
    }
    UpdateTrailButtons();
}

void TTreeFrame::HisCmbPathClick() {
    const int index = HisCmbPath.ItemIndex();
    if (!OwnerDialog || index < 0)
        return;
    const std::string entry = HisCmbPath.Item(index);
    if (IsUncPath(entry)) {
        GoToFolder(entry);
    } else if (IsRemovableDrive(entry)) {
        GoToFolder(DriveReady(entry) && FolderExists(entry) ? entry : entry.substr(0, 1) + ":\\");
    } else if (FolderExists(entry)) {
        GoToFolder(entry);
    } else {
        ShowMessageBox(OwnerDialog, "フォルダ： " + entry + "\r\n" + "指定のフォルダは存在しません",
                       MessageKind::Error, MessageButton::OK);
        HisCmbPath.DeleteItem(index);
        if (HisCmbPath.Count() > 0)
            HisCmbPath.SetItemIndex(0);
    }
}

void TTreeFrame::btnHistoryClick() {
    const std::string path = SystemTreeView.Selection();
    if (path.empty()) {
        FocusTree();
        return;
    }
    HisCmbPath.AddHistory(path);
    SetFocus(HisCmbPath.Handle());
}

void TTreeFrame::HisPop_DeleteClick() {
    if (ShowMessageBox(OwnerDialog, PurposeCaption() + "のフォルダ履歴を削除してもよろしいですか？",
                       MessageKind::Confirmation, MessageButton::YesNo) == MessageResult::No)
        return;
    HisCmbPath.ClearItems();
    HisCmbPath.SaveHistory(false);
}

bool TTreeFrame::btnOKClick() {
    if (!OwnerDialog)
        return false;
    const std::string path = SystemTreeView.Selection();
    if (path.empty()) {
        ShowMessageBox(OwnerDialog, "フォルダを選択してください。", MessageKind::Error,
                       MessageButton::OK);
        FocusTree();
        return false;
    }
    if (!ValidateFolderPath(OwnerDialog, AddTrailingSeparator(path))) {
        FocusTree();
        return false;
    }
    ResultPath = path;
    HisCmbPath.AddHistory(path);
    HisCmbPath.SaveHistory(true);
    Cancelled = false;
    return true;
}

void TTreeFrame::btnMKDirClick() {
    const std::string path = SystemTreeView.Selection();
    if (OwnerDialog && !path.empty() && DriveReady(path) &&
        CheckFolderWritable(OwnerDialog, path)) {
        std::string name;
        ShowNewFolderDialog(0, OwnerDialog, true, name, "", "", path);
        if (!name.empty()) {
            // The watch may have refreshed the tree while the dialog was open, taking nodes
            // away: the node is looked up again. When the selection left the folder, only a
            // whole rebuild is sure to list the new one.
            HTREEITEM node = SystemTreeView.Selected();
            if (node == SystemTreeView.Root() || SystemTreeView.GetNodePath(node) != path)
                SystemTreeView.Rebuild();
            else
                SystemTreeView.RefreshNode(node);
            SystemTreeView.SetSelection(AddTrailingSeparator(path) + name);
        }
    }
    FocusTree();
}

void TTreeFrame::btnRenameClick() {
    if (!SystemTreeView.StartRename())
        FocusTree();
}

void TTreeFrame::btnDeleteClick() {
    SystemTreeView.DeleteSelected();
    FocusTree();
}

void TTreeFrame::btnRepaintClick() {
    SystemTreeView.RefreshSelected();
    FocusTree();
}

void TTreeFrame::btnNetClick() {
    RECT box = {};
    GetWindowRect(Item(IDC_TREE_BTNNET), &box);
    switch (TrackMenu(OwnerDialog,
                      {{IDM_TREE_POPCONNECT, "ネットワーク ドライブの割り当て(&M)..."},
                       {IDM_TREE_POPDISCONNECT, "ネットワーク ドライブの切断(&D)"}},
                      {box.left, box.bottom})) {
    case IDM_TREE_POPCONNECT:
        PopConnectClick();
        break;
    case IDM_TREE_POPDISCONNECT:
        PopDisConnectClick();
        break;
    }
}

void TTreeFrame::PopConnectClick() {
    NetworkDialog(true);
}

void TTreeFrame::PopDisConnectClick() {
    NetworkDialog(false);
}

// The platform's dialog connecting or disconnecting a network drive; a new drive rebuilds the
// tree, a failure shows its message (the user's cancel none).
void TTreeFrame::NetworkDialog(bool connect) {
    if (!OwnerDialog)
        return;
    DWORD result = connect ? WNetConnectionDialog(OwnerDialog, RESOURCETYPE_DISK)
                           : WNetDisconnectDialog(OwnerDialog, RESOURCETYPE_DISK);
    if (result == NO_ERROR)
        SystemTreeView.Rebuild();
    else
        ShowNetworkError(OwnerDialog, result);
    FocusTree();
}

bool TTreeFrame::HandleCommand(int id, int code) {
    switch (id) {
    case IDC_TREE_HISCMBPATH:
        // A choice in the open list counts once the list closes; arrow keys on the closed
        // box count at once.
        if (code == CBN_SELCHANGE) {
            if (SendMessageA(HisCmbPath.Handle(), CB_GETDROPPEDSTATE, 0, 0))
                comboChangedWhileDropped_ = true;
            else
                HisCmbPathClick();
        } else if (code == CBN_CLOSEUP && comboChangedWhileDropped_) {
            comboChangedWhileDropped_ = false;
            HisCmbPathClick();
        }
        return true;
    case IDC_TREE_BTNHISTORY:
        return btnHistoryClick(), true;
    case IDC_TREE_BTNMKDIR:
        return btnMKDirClick(), true;
    case IDC_TREE_BTNRENAME:
        return btnRenameClick(), true;
    case IDC_TREE_BTNDELETE:
        return btnDeleteClick(), true;
    case IDC_TREE_BTNREPAINT:
        return btnRepaintClick(), true;
    case IDC_TREE_BTNNET:
        return btnNetClick(), true;
    case IDC_TREE_BTNBWD:
        return btnBwdClick(), true;
    case IDC_TREE_BTNFWD:
        return btnFwdClick(), true;
    }
    return false;
}

bool TTreeFrame::HandleNotify(const NMHDR& header, LRESULT& result) {
    if (header.hwndFrom == Item(IDC_TREE_BTNHISTORY) && header.code == kSplitButtonDropDown) {
        RECT box = {};
        GetWindowRect(header.hwndFrom, &box);
        PopHisPopup({box.left, box.bottom});
        result = 0;
        return true;
    }
    if (header.hwndFrom != SystemTreeView.Handle() || !SystemTreeView.Handle())
        return false;
    bool handled = false;
    result = SystemTreeView.HandleNotify(header, handled);
    return handled;
}

bool TTreeFrame::HandleContextMenu(HWND control, POINT screen) {
    if (control != HisCmbPath.Handle() && control != Item(IDC_TREE_BTNHISTORY))
        return false;
    if (screen.x == -1 && screen.y == -1) {
        RECT box = {};
        GetWindowRect(control, &box);
        screen = {box.left, box.bottom};
    }
    PopHisPopup(screen);
    return true;
}

void TTreeFrame::PopHisPopup(POINT screen) {
    if (TrackMenu(OwnerDialog, {{IDM_TREE_HISPOP_DELETE, "履歴の削除(&D)"}}, screen) ==
        IDM_TREE_HISPOP_DELETE)
        HisPop_DeleteClick();
}

void TTreeFrame::FrameResize(int width, int height, int dpi) {
    // Pixels of the frame on a 96-dpi screen, grown with the density: a right-hand column of
    // buttons beside the tree. `width` and `height` are the frame's own pixels.
    auto px = [dpi](int length) { return ScaleForDpi(length, dpi); };
    const int kMargin = px(8), kColumn = px(100), kButton = px(23), kStep = px(26);
    const int columnLeft = width - kMargin - kColumn;
    const int treeLeft = kMargin, treeTop = px(104);
    const int treeWidth = columnLeft - px(6) - treeLeft;
    auto place = [&](int id, int x, int y, int w, int h) {
        MoveWindow(Item(id), x, y, w, h, TRUE);
    };
    place(IDC_TREE_SUBTITLE1, kMargin, px(6), width - 2 * kMargin, px(16));
    place(IDC_TREE_SUBTITLE2, kMargin, px(24), width - 2 * kMargin, px(16));
    place(IDC_TREE_HISCMBPATH, treeLeft, px(44), treeWidth, px(300));
    SendMessageA(HisCmbPath.Handle(), CB_SETDROPPEDWIDTH, treeWidth + kColumn + px(6), 0);
    place(IDC_TREE_BTNHISTORY, columnLeft, px(43), kColumn, kButton);
    place(IDC_TREE_BTNFAV, columnLeft, px(43), kColumn, kButton);
    place(IDC_TREE_SELECTEDTITLE, kMargin, px(80), px(132), px(16));
    place(IDC_TREE_SELECTEDPATH, kMargin + px(132), px(80), columnLeft - kMargin - px(136), px(16));
    place(IDC_TREE_BTNBWD, columnLeft, px(76), kColumn / 2 - 1, kButton);
    place(IDC_TREE_BTNFWD, columnLeft + kColumn / 2 + 1, px(76), kColumn / 2 - 1, kButton);
    place(IDC_TREE_SYSTEMTREEVIEW, treeLeft, treeTop, treeWidth, height - treeTop - kMargin);
    int y = treeTop;
    for (int id : {IDOK, IDCANCEL, 0, IDC_TREE_BTNMKDIR, IDC_TREE_BTNRENAME, IDC_TREE_BTNDELETE,
                   IDC_TREE_BTNREPAINT, 0, IDC_TREE_BTNNET, IDC_TREE_BTNHELP}) {
        if (id)
            place(id, columnLeft, y, kColumn, kButton);
        y += id ? kStep : px(6);
    }
}
