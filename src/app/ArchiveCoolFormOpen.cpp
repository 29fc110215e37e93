// The icon window's recent archives and its open dialog: reopening an archive or a folder from
// the history menu, clearing the history, and handing the archives chosen in the dialog to the
// companion.
#include "app/ArchiveCoolForm.h"

#include <commdlg.h>

#include "app/ReportedSettings.h"
#include "archive/ArchiveRecognizer.h"
#include "handoff/CompanionLaunch.h"
#include "handoff/WorkFolder.h"
#include "settings/SettingsStore.h"
#include "ui/ErrorReport.h"
#include "ui/MessageBox.h"
#include "util/Errors.h"
#include "util/FileProbe.h"

namespace {

constexpr const char* kOpenTitle = "書庫を開く (複数選択可)";
constexpr const char* kArchiveFilter =
    "すべての書庫|*.lzh;*.zip;*.cab;*.tar;*.tgz;*.taz;*.gz;*.z;*.bz2;*.arj;*.rar;*.exe|"
    "すべての書庫 (自己解凍書庫は除く)|*.lzh;*.zip;*.cab;*.tar;*.tgz;*.taz;*.gz;*.z;*.bz2;*.arj;"
    "*.rar|Lha 書庫 (*.lzh)|*.lzh|Zip 書庫 (*.zip)|*.zip|Cab 書庫 (*.cab)|*.cab|"
    "Tar 書庫 (*.tar/*.gz/*.tar.gz/*.tgz/*.tar.z/*.taz/*.tar.bz2/*.bz2/*.z)|"
    "*.tar;*.tgz;*.taz;*.gz;*.z;*.bz2|Arj 書庫 (*.arj)|*.arj|Rar 書庫 (*.rar)|*.rar|"
    "自己解凍書庫 (*.exe)|*.exe|すべてのファイル(*.*)|*.*|";

// A chosen file the recognizer accepts. An ".exe" that cannot be read is no archive either:
// the other chosen files still go, and its error is kept for the user.
bool IsChosenArchive(const std::string& path, std::vector<std::string>& unreadable) {
    try {
        return GetArchiveKind(path) != ArchiveKind::None;
    } catch (const EFOpenError& error) {
        unreadable.insert(unreadable.begin(), error.what());
        return false;
    }
}

void MakeTopmost(HWND window) {
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_FRAMECHANGED | SWP_NOACTIVATE);
}

} // namespace

void TArchiveCoolForm::HistoryMenuHistorySelected(THistoryMenu& sender, bool isPath,
                                                  const std::string& fileName, bool&) {
    if (sender.Name != "HisArchReOpen1")
        return;
    if (isPath)
        OpenArchives(fileName);
    else
        SendRecentArchive(fileName);
}

void TArchiveCoolForm::HistoryMenuCanDeleted(THistoryMenu&, bool& canDelete) {
    if (ShowMessageBox(Handle(), "履歴メニューを削除してもよろしいですか？",
                       MessageKind::Confirmation, MessageButton::YesNo) == MessageResult::No)
        canDelete = false;
}

void TArchiveCoolForm::OpenArchives(const std::string& startFolder) {
    std::vector<std::string> chosen;
    {
        TCabOpenDialog dialog(Handle());
        OpenDialog = &dialog;
        // However the dialog ends (files chosen, cancelled, an error inside it), the cat is
        // ready again and no longer points at the dialog.
        struct Closed {
            TArchiveCoolForm& form;
            ~Closed() {
                OpenDialogShowing = false;
                form.OpenDialog = nullptr;
                ui::RunGuarded([&] { form.RefreshIconState(); });
            }
        } closed{*this};

        dialog.AutoFocusChange = true;
        dialog.DefaultExt = "LZH";
        dialog.FileName.clear();
        dialog.Filter = kArchiveFilter;
        dialog.FilterIndex = 1;
        if (!startFolder.empty() && FolderExists(startFolder))
            dialog.InitialDir = startFolder;
        else
            ReportingRegistryErrors(
                [&] { dialog.InitialDir = ResolveOpenFolder(settings::SectionCommon, 1); });
        LoadPlaces(dialog.Items);
        dialog.Key = settings::HistoryArchivePathKey;
        dialog.Options = OFN_HIDEREADONLY | OFN_ALLOWMULTISELECT | OFN_PATHMUSTEXIST |
                         OFN_NOTESTFILECREATE | OFN_ENABLESIZING;
        dialog.Title = kOpenTitle;
        dialog.OnShow = [this](TCabOpenDialog& shown) {
            OpenDialogShowing = true;
            MakeTopmost(Handle());
            MakeTopmost(shown.Handle());
            RefreshIconState();
        };
        dialog.OnClose = [](TCabOpenDialog&) { OpenDialogShowing = false; };
        if (dialog.Execute())
            chosen = dialog.Files;
    }
    // From the last chosen file to the first, those that are no archives go.
    std::vector<std::string> unreadable;
    for (std::size_t i = chosen.size(); i-- > 0;)
        if (!IsChosenArchive(chosen[i], unreadable))
            chosen.erase(chosen.begin() + static_cast<std::ptrdiff_t>(i));
    SendChosenArchives(chosen);
    // The others are on their way; then the user learns which files could not be read, each
    // on a line of one box.
    if (!unreadable.empty()) {
        std::string message = unreadable.front();
        for (std::size_t i = 1; i < unreadable.size(); ++i)
            message += "\r\n" + unreadable[i];
        ui::ReportException(EFOpenError(message));
    }
}
