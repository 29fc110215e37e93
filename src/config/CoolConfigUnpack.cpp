// The settings dialog's pages "解凍(1)" and "解凍(2)": the fixed extraction folder, what to do
// with a file of the same name, and the rules between the extraction controls.
#include "config/CoolConfigForm.h"

#include "config/CoolConfigFormRes.h"
#include "settings/SettingsStore.h"

void TCoolConfigForm::LoadUnpackPages() {
    LoadFolderHistory(HisQEFixedPath, settings::HistoryExtractPathKey,
                      settings::QuickExtractFixedPath);
    RdbQEArchivePathClick();
    const int duplicate = ReadSetting(settings::Duplicate);
    SendDlgItemMessageA(Handle(), IDC_CFG_CMBDUPLICATE, CB_SETCURSEL,
                        duplicate >= 0 && duplicate <= 4 ? duplicate : -1, 0);
}

void TCoolConfigForm::SaveUnpackPages() {
    HisQEFixedPath.SaveHistory(true);
    WriteSetting(settings::QuickExtractFixedPath, HisQEFixedPath.Text());
    // Nothing chosen keeps the stored answer: -1 means nothing to the companion.
    const int duplicate =
        static_cast<int>(SendDlgItemMessageA(Handle(), IDC_CFG_CMBDUPLICATE, CB_GETCURSEL, 0, 0));
    if (duplicate >= 0)
        WriteSetting(settings::Duplicate, duplicate);
}

// Extraction-destination rule of "解凍(1)".
void TCoolConfigForm::RdbQEArchivePathClick() {
    EnableControls({IDC_CFG_LBLQEFIXEDPATH, IDC_CFG_HISQEFIXEDPATH, IDC_CFG_BTNQEFIXEDPATH},
                   Checked(IDC_CFG_RDBQEFIXEDPATH));
}

// Copying and moving the archive exclude each other; neither is fine.
void TCoolConfigForm::ChbFileCopyClick(int sender) {
    if (!Checked(sender))
        return;
    SetChecked(sender == IDC_CFG_CHBFILECOPY ? IDC_CFG_CHBFILEMOVE : IDC_CFG_CHBFILECOPY, false);
}

void TCoolConfigForm::BtnQEFixedPathClick() {
    ChooseFolder(HisQEFixedPath, "解凍先フォルダの選択", "即時解凍時の解凍先フォルダを選択",
                 "｢毎回、固定のフォルダに解凍する｣");
}
