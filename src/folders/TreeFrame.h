// TTreeFrame: the contents of the folder dialog — the shell tree, the folder history, back and
// forward over the folders visited, and the buttons for confirming, new folders, renaming,
// deleting, refreshing and network drives.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "folders/FolderRules.h"
#include "folders/SystemTreeView.h"
#include "history/HistoryComboBox.h"
#include "util/FileProbe.h"

class TTreeFrame {
  public:
    using TVolumeStatusEvent =
        std::function<void(TTreeFrame& frame, const std::string& text, double total, double free)>;

    bool Cancelled = true;
    std::string ResultPath;
    unsigned char Purpose = 1;
    std::string InitialFolder;
    // The hosting dialog; most actions do nothing without one.
    HWND OwnerDialog = nullptr;
    TVolumeStatusEvent OnVolumeStatus;
    // Whether the drive of a path has a readable volume. A drive letter whose medium is out
    // cannot be made on a test machine, so tests put their own answer here.
    std::function<bool(const std::string& path)> DriveReady = &IsDriveReady;

    TSystemTreeView SystemTreeView;
    THistoryComboBox HisCmbPath;

    // Binds the controls of the dialog `dialog` and sets up for `purpose`.
    void SetupPurpose(HWND dialog, unsigned char purpose);
    void SetSubtitles(const std::string& subtitle1, const std::string& subtitle2);
    void SelectInitialFolder();
    void GoToFolder(const std::string& path);
    void FrameResize(int width, int height, int dpi = 96);
    // Lets go of the controls while they still exist.
    void Release();
    std::string PurposeCaption() const;

    // The dialog's commands and notices, handed on.
    bool HandleCommand(int id, int code);
    bool HandleNotify(const NMHDR& header, LRESULT& result);
    bool HandleContextMenu(HWND control, POINT screen);

    // Handlers of the buttons and the combo box.
    bool btnOKClick();
    void btnHistoryClick();
    void btnMKDirClick();
    void btnRenameClick();
    void btnDeleteClick();
    void btnRepaintClick();
    void btnNetClick();
    void btnBwdClick() { NavigateTrail(-1); }
    void btnFwdClick() { NavigateTrail(+1); }
    void HisCmbPathClick();
    void HisPop_DeleteClick();
    void PopConnectClick();
    void PopDisConnectClick();
    void SystemTreeViewChange();

  private:
    HWND Item(int id) const { return GetDlgItem(OwnerDialog, id); }
    // The history's menu ("履歴の削除(&D)"), from a right click on the combo or the history
    // button, or from that button's arrow.
    void PopHisPopup(POINT screen);
    void NavigateTrail(int step);
    void NetworkDialog(bool connect);
    void UpdateTrailButtons();
    void UpdateNodeButtons();
    void SetHint(int id, const std::string& text);
    void LoadFolderHistory();
    void FocusTree();

    HWND toolTip_ = nullptr;
    bool comboChangedWhileDropped_ = false;
};

// The folders visited in folder dialogs, shared by all of them and emptied at each set-up.
folders::TVisitTrail& VisitTrail();
