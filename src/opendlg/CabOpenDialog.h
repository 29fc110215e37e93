// The program's file-open dialog: the platform's explorer-style open dialog with a child
// template of its own, adding a places list on the left, a folder history combo box and a
// button that saves the current folder in that history.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>

#include <functional>
#include <string>
#include <vector>

#include "history/HistoryRegistry.h"
#include "opendlg/CabinetItems.h"
#include "opendlg/CabOpenDialogRes.h"

// Controls of the platform's dialog: the look-in combo and the file-name box (an edit while the
// platform's own places bar is off, else the combo).
inline constexpr int IDC_CAB_LOOK_IN = 1136;
inline constexpr int IDC_CAB_FILE_NAME_EDIT = 1152;
inline constexpr int IDC_CAB_FILE_NAME_COMBO = 1148;

class TCabOpenDialog {
  public:
    using NotifyEvent = std::function<void(TCabOpenDialog& sender)>;
    // Raised after every WM_COMMAND of the child dialog: the child, the platform's dialog and
    // the control.
    using CommandNotifyEvent =
        std::function<void(TCabOpenDialog& sender, HWND wnd, HWND parent, int cmd)>;

    explicit TCabOpenDialog(HWND owner);
    TCabOpenDialog(const TCabOpenDialog&) = delete;
    TCabOpenDialog& operator=(const TCabOpenDialog&) = delete;
    ~TCabOpenDialog();

    // The open dialog's own properties. Filter: "caption|patterns|caption|patterns|...".
    std::string Title;
    std::string Filter;
    int FilterIndex = 1;
    std::string DefaultExt;
    std::string FileName;
    std::string InitialDir;
    DWORD Options = 0;              // OFN_... flags
    std::vector<std::string> Files; // the chosen files, full paths
    NotifyEvent OnShow, OnClose, OnFolderChange;

    TCabinetItems Items;
    std::vector<std::string> Favorites; // the folder history, most recent first
    int MaxCount = 10;
    std::string Key; // empty: no history in the registry
    TRootKey RootKey = TRootKey::hkCurrentUser;
    bool ShowFullPath = true;
    bool SetInitDirFrom1st = false;
    bool AutoFocusChange = false;
    COLORREF Color;
    HIMAGELIST ImageList = nullptr; // null: the shell's large icons
    TCabOpenDialog* Associated = nullptr;
    std::string TemplateName;
    CommandNotifyEvent OnCommandEx;

    // Shows the dialog modally; true when files were chosen.
    bool Execute();

    // The platform's dialog while it is shown.
    HWND Handle() const { return parent_; }

    void LoadFolderHistory();
    void SaveFolderHistory();
    // Replaces the history by `list` (each entry appended); with propagate 1 the associated
    // dialog gets it too.
    void CopyFolderHistory(int propagate, const std::vector<std::string>& list);

  private:
    static UINT_PTR CALLBACK HookProcedure(HWND child, UINT message, WPARAM wParam, LPARAM lParam);
    UINT_PTR Hook(UINT message, WPARAM wParam, LPARAM lParam);

    void DoShow();
    void DoFolderChange();
    bool FitResultBuffer();
    void FitLabels();
    void DoCommand(int id, int code);
    void DoSize();
    bool DoDrawItem(const DRAWITEMSTRUCT& item);
    void DrawPlace(const DRAWITEMSTRUCT& item);
    void DrawHistoryItem(const DRAWITEMSTRUCT& item);

    void CreatePlacesList();
    void PlaceChosen();
    void GoToDialogFolder(const std::string& path);
    void HistoryChosen();
    void SaveCurrentFolder();
    std::string CurrentFolder() const;
    HWND FileNameBox() const;
    void FillHistoryCombo();
    RECT ChildRect(HWND control) const;

    HWND owner_;
    // While the platform's dialog runs: what it was given, the result buffer (grown with the
    // selection) and the folder it started in.
    OPENFILENAMEA* request_ = nullptr;
    std::vector<char> fileBuffer_;
    std::string initialDir_;
    HWND child_ = nullptr;
    HWND parent_ = nullptr;
    HWND places_ = nullptr;
    HBRUSH placesBrush_ = nullptr;
    std::string pendingMissingPlace_;
};
