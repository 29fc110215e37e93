// The settings dialog's pages "圧縮(1)" and "圧縮(2)": the default archive type, where new
// archives go, and the rules between the compression controls.
#include "config/CoolConfigForm.h"

#include "archive/ArchiveRecognizer.h"
#include "archive/ArchiverLibraries.h"
#include "archive/ZCryptProbe.h"
#include "config/CoolConfigFormRes.h"
#include "folders/TreeForm.h"
#include "settings/SettingsStore.h"
#include "util/DpiScale.h"
#include "util/Errors.h"
#include "util/FileProbe.h"

#include <algorithm>
#include <new>

template <typename MakeEntries> void TArchiveTypeComboBox::Fill(MakeEntries makeEntries) {
    ClearItems();
    entries_.clear();
    try {
        entries_ = makeEntries();
    } catch (const std::bad_alloc&) {
        throw EAppError("メモリ不足です");
    }
    for (const config::ArchiveTypeEntry& entry : entries_)
        AddItem(entry.caption);
}

void TArchiveTypeComboBox::FillArchiveTypes(const config::LibraryPresence& libraries,
                                            int lhaSfxMode) {
    Fill([&] { return config::ArchiveTypeList(libraries, lhaSfxMode); });
}

void TArchiveTypeComboBox::FillLhaSfxKinds(bool lha) {
    Fill([lha] { return config::LhaSfxList(lha); });
}

const config::ArchiveTypeEntry* TArchiveTypeComboBox::Selected() const {
    const int index = ItemIndex();
    if (index < 0 || static_cast<std::size_t>(index) >= entries_.size())
        return nullptr;
    return &entries_[static_cast<std::size_t>(index)];
}

void TArchiveTypeComboBox::MeasureItem(MEASUREITEMSTRUCT& measure) {
    measure.itemHeight = static_cast<UINT>(ScaleForDpi(17, Dpi));
}

void TArchiveTypeComboBox::DrawItem(const DRAWITEMSTRUCT& draw) {
    HDC dc = draw.hDC;
    const RECT& r = draw.rcItem;
    const bool selected = (draw.itemState & ODS_SELECTED) != 0;
    const bool enabled = Enabled();
    const int brushColour = selected ? COLOR_HIGHLIGHT : COLOR_WINDOW;
    FillRect(dc, &r, GetSysColorBrush(brushColour));
    if (draw.itemID >= entries_.size())
        return;
    const config::ArchiveTypeEntry& entry = entries_[draw.itemID];
    // The picture's place and the gap after it grow with the density; the caption starts
    // after the wider of a small icon and the picture.
    int pictureWidth = 0;
    if (Images && entry.image >= 0) {
        const int x = r.left + ScaleForDpi(3, Dpi), y = r.top + ScaleForDpi(1, Dpi);
        if (enabled)
            Images->Draw(entry.image, dc, x, y);
        else
            Images->DrawDisabled(entry.image, dc, x, y);
        pictureWidth = Images->Width();
    }
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColour = SetTextColor(dc, GetSysColor(!enabled   ? COLOR_GRAYTEXT
                                                            : selected ? COLOR_HIGHLIGHTTEXT
                                                                       : COLOR_WINDOWTEXT));
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    TextOutA(dc,
             r.left + std::max(GetSystemMetrics(SM_CXSMICON), pictureWidth) + ScaleForDpi(8, Dpi),
             (r.top + r.bottom - metrics.tmHeight) / 2, entry.caption.c_str(),
             static_cast<int>(entry.caption.size()));
    SetTextColor(dc, oldColour);
    SetBkMode(dc, oldMode);
}

void TCoolConfigForm::LoadPackPages() {
    // Libraries copied in while the program runs are offered as the settings open.
    LookForMissingLibrariesAgain();
    config::LibraryPresence libraries;
    libraries.lha = IsLibraryAvailable(ArchiverLibrary::Unlha);
    libraries.zip = IsLibraryAvailable(ArchiverLibrary::Zip);
    libraries.zcrypt = libraries.zip && IsZCryptAvailable();
    libraries.cab = IsLibraryAvailable(ArchiverLibrary::Cab);
    libraries.tar = IsLibraryAvailable(ArchiverLibrary::Tar);
    libraries.bzip2 = libraries.tar && IsBzip2Supported();

    const int lhaSfxMode = ReadSetting(settings::DefaultLhaSfxMode);
    CmbFavArchive.FillArchiveTypes(libraries, lhaSfxMode);
    CmbFavArchive.SetItemIndex(config::FindArchiveType(
        CmbFavArchive.Entries(), ReadSetting(settings::DefaultArchType),
        ReadSetting(settings::DefaultTarType), ReadSetting(settings::DefaultSfxMode)));
    CmbFavSfxArchive.FillLhaSfxKinds(libraries.lha);
    CmbFavSfxArchive.SetItemIndex(config::LhaSfxIndex(CmbFavSfxArchive.Entries(), lhaSfxMode));
    ChbQPSelectNewArchiveClick();

    LoadFolderHistory(hisPackPath4, settings::HistoryArchivePathKey, settings::QuickAddFixedPath);
    rdbPackPath1Click();
    RdgQPCABCompClick();
    ChbDropAddAutomaticeClick();
}

void TCoolConfigForm::SavePackPages() {
    if (const config::ArchiveTypeEntry* type = CmbFavArchive.Selected()) {
        const config::StoredArchiveType stored =
            config::ArchiveTypeToStore(*type, CmbFavSfxArchive.Selected());
        WriteSetting(settings::DefaultArchType, stored.archType);
        WriteSetting(settings::DefaultTarType, stored.tarType);
        WriteSetting(settings::DefaultSfxMode, stored.sfxMode);
    }
    if (const config::ArchiveTypeEntry* kind = CmbFavSfxArchive.Selected())
        WriteSetting(settings::DefaultLhaSfxMode, kind->sfxMode);
    hisPackPath4.SaveHistory(true);
    WriteSetting(settings::QuickAddFixedPath, hisPackPath4.Text());
}

// A broken history key (no "Count") gives an empty list rather than no dialog.
void TCoolConfigForm::LoadFolderHistory(THistoryComboBox& box, const char* key,
                                        const settings::StringSetting& fixedPath) {
    box.Key = key;
    box.MaxHistoryLength = 10;
    try {
        box.LoadHistory(true);
    } catch (const ERegistryError&) {
        box.ClearItems();
    }
    const std::string fixed = ReadSetting(fixedPath);
    if (!fixed.empty())
        box.AddHistory(fixed);
}

// Type-label rule.
void TCoolConfigForm::ChbQPSelectNewArchiveClick() {
    SetDlgItemTextA(
        Handle(), IDC_CFG_LBLQPSELECTNEWARCHIVE,
        config::TypeLabel(Checked(IDC_CFG_CHBQPSELECTNEWARCHIVE), CmbFavArchive.Selected())
            .c_str());
}

// Destination rule of "圧縮(1)".
void TCoolConfigForm::rdbPackPath1Click() {
    EnableControls({IDC_CFG_LBLPACKPATH4, IDC_CFG_HISPACKPATH4, IDC_CFG_BTNPACKPATH4},
                   Checked(IDC_CFG_RDBPACKPATH4));
}

// Cab rule: the level applies to LZX only.
void TCoolConfigForm::RdgQPCABCompClick() {
    EnableControls({IDC_CFG_LBLCABCOMPLEVEL, IDC_CFG_EDTQPCABCOMPLEVEL, IDC_CFG_UPDQPCABCOMPLEVEL},
                   Checked(IDC_CFG_RDBLZX));
}

// Folder-information rule.
void TCoolConfigForm::ChbDropAddAutomaticeClick() {
    const config::FolderInfoEnabling enabling = config::FolderInformationRule(
        Checked(IDC_CFG_CHBDROPADDAUTOMATICE), Checked(IDC_CFG_CHBDROPADDUSEDIR));
    EnableControls({IDC_CFG_CHBDROPADDUSEDIR}, enabling.useDir);
    EnableControls({IDC_CFG_CHBDROPADDABSOLUTEPATH}, enabling.absolutePath);
    EnableControls({IDC_CFG_CHBDROPADDSUBDIR}, enabling.subDir);
}

void TCoolConfigForm::btnPackPath4Click() {
    ChooseFolder(hisPackPath4, "作成先フォルダの選択", "書庫の作成先フォルダを選択",
                 "｢毎回、固定のフォルダに作成する｣");
}

void TCoolConfigForm::ChooseFolder(THistoryComboBox& box, const char* caption,
                                   const char* subtitle1, const char* subtitle2) {
    const std::string current = box.Text();
    const std::string start = FolderExists(current) ? current : std::string();
    std::string chosen;
    if (ShowFolderDialog(1, Handle(), caption, subtitle1, subtitle2, start, chosen) != 1)
        return;
    MarkModified(true);
    box.AddHistory(chosen);
    box.SaveHistory(true);
}
