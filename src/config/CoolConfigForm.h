// TCoolConfigForm: the settings dialog "環境設定 - Pakico". Five pages of options that the
// companion obeys for quick compression, quick extraction and its reports, and the program's
// own start-up options (residence at Windows start-up, the start hot key, the log size).
// The frame (pages, buttons, change tracking) is CoolConfigForm.cpp, the pages' look under a
// visual style CoolConfigBackground.cpp; each page's loading, saving and rules are in
// CoolConfigCommon.cpp, CoolConfigPack.cpp and CoolConfigUnpack.cpp.
#pragma once

#include <windows.h>

#include <exception>
#include <vector>

#include "config/ConfigRules.h"
#include "history/HistoryComboBox.h"
#include "settings/SettingsTable.h"
#include "shell/PBShellLink.h"
#include "ui/ComboBox.h"
#include "ui/Dialog.h"
#include "ui/ImageList.h"
#include "util/ScopedWin.h"

// The page made active last, shown by the next opening that asks for none; 0 at start.
inline int LastSettingsPage = 0;

// An archive type list: each item drawn with its picture, the entries kept beside the items.
class TArchiveTypeComboBox : public ui::OwnerDrawComboBox {
  public:
    const ui::ImageList* Images = nullptr;
    // The pixel density the rows are measured for; set before the box is attached.
    int Dpi = 96;
    // Fills the list with the archive types the libraries can make, or with the Lha
    // self-extractor kinds. An entry that cannot be allocated raises "メモリ不足です" and leaves
    // the list empty.
    void FillArchiveTypes(const config::LibraryPresence& libraries, int lhaSfxMode);
    void FillLhaSfxKinds(bool lha);
    const std::vector<config::ArchiveTypeEntry>& Entries() const { return entries_; }
    // The selected entry, or null.
    const config::ArchiveTypeEntry* Selected() const;

  protected:
    void MeasureItem(MEASUREITEMSTRUCT& measure) override;
    void DrawItem(const DRAWITEMSTRUCT& draw) override;

  private:
    template <typename MakeEntries> void Fill(MakeEntries makeEntries);
    std::vector<config::ArchiveTypeEntry> entries_;
};

class TCoolConfigForm : public ui::ModalDialog {
  public:
    // `reference` is the icon window; `page` the page to show, -1 for the one shown last.
    TCoolConfigForm(HWND reference, int page);
    ~TCoolConfigForm() override;

    // Raises what kept the dialog from loading its values, if anything did.
    void RaiseLoadFailure() const;

  protected:
    bool OnInit() override;
    void OnDpiChanged() override;
    bool OnOK() override;
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

  private:
    // Frame.
    void FormCreate();
    void LoadOrGiveUp();
    void FormShow();
    // The font, the archive pictures and the places of the controls at the dialog's density.
    void ApplyDensity();
    void LayOut();
    void LoadSettings();
    bool ValidateSettings();
    void SaveSettings();
    void MarkModified(bool on);
    bool Modified() const;
    void BtnUpdateClick();
    void BtnHelpClick();
    void ShowHelp(const HELPINFO& info);
    int ActivePage() const;
    void ActivatePage(int index);
    void ShowPageControls(int index);
    void ControlCommand(int id, int code);
    // The page a control belongs to (by its identifier), or -1 for the frame's own.
    static int PageOfControl(int id);

    // Under a visual style (CoolConfigBackground.cpp): the brush that paints a page's control
    // as the page beneath it, or null for the dialog's own background; and the dialog's
    // background with the pages' body where the pages lie.
    HBRUSH PageBackground(HDC dc, HWND control);
    bool EraseWithPageBody(HDC dc);
    HBRUSH PageBrush();

    // The check boxes, radio choices and number boxes that map straight onto one value each.
    void LoadPlainControls();
    void SavePlainControls();
    bool Checked(int id) const;
    void SetChecked(int id, bool on);
    void EnableControls(std::initializer_list<int> ids, bool on);

    // 全般
    void LoadCommonPage();
    void SaveCommonPage();
    void ChbSetupTaskTrayClick();
    void HotSetupKeyRunChange();
    WORD HotKeyValue() const;
    void WriteStartupShortcut();

    // 圧縮(1), 圧縮(2)
    void LoadPackPages();
    void SavePackPages();
    void ChbQPSelectNewArchiveClick();
    void rdbPackPath1Click();
    void RdgQPCABCompClick();
    void ChbDropAddAutomaticeClick();
    void btnPackPath4Click();

    // 解凍(1), 解凍(2)
    void LoadUnpackPages();
    void SaveUnpackPages();
    void RdbQEArchivePathClick();
    void ChbFileCopyClick(int sender);
    void BtnQEFixedPathClick();

    // A folder history combo, loaded without stopping the dialog when its key is broken.
    void LoadFolderHistory(THistoryComboBox& box, const char* key,
                           const settings::StringSetting& fixedPath);
    void ChooseFolder(THistoryComboBox& box, const char* caption, const char* subtitle1,
                      const char* subtitle2);

    HWND reference_;
    int requestedPage_;
    // What stopped the loading; the dialog then closes before it shows and the caller gets it.
    std::exception_ptr loadFailure_;
    bool PageSwitching = false;
    WORD LoadedHotKey = 0;
    ui::ImageList Type_ImageList;
    TPBShellLink PBShellLink;
    TArchiveTypeComboBox CmbFavArchive;
    TArchiveTypeComboBox CmbFavSfxArchive;
    THistoryComboBox hisPackPath4;
    THistoryComboBox HisQEFixedPath;
    win::ScopedGdiObject font_;
    // The pages' body as the tab control paints it, and a brush of it.
    win::ScopedGdiObject pageBitmap_;
    win::ScopedGdiObject pageBrush_;
    bool makingPageBrush_ = false;
};

// Opens the settings dialog over the icon window on `page` (-1: the page shown last). A value
// that cannot be read keeps the dialog shut: its error is raised here, once the dialog has
// gone, and nothing has been written.
void ShowSettingsDialog(HWND reference, int page = -1);
