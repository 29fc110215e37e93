// The automatic import: watching a folder, counting the files that appear in it, and handing
// the new archives to the companion in one start when watching ends.
#include "app/ArchiveCoolForm.h"

#include "app/ReportedSettings.h"
#include "archive/ArchiveRecognizer.h"
#include "folders/TreeForm.h"
#include "handoff/CompanionLaunch.h"
#include "ui/ErrorReport.h"
#include "ui/MessageBox.h"
#include "util/Errors.h"
#include "util/FileProbe.h"
#include "util/SystemLookups.h"
#include "watch/FolderListing.h"
#include "watch/ImportReport.h"

namespace {

constexpr const char* kWatchingTitle = "書庫自動取込の実行中";
// While the watched folder does not answer (a network folder that dropped, a stick pulled out):
// nothing is counted, and the watch goes on when it answers again.
constexpr const char* kAwayTitle = "監視フォルダの応答待ち";

bool Confirmed(const std::string& question) {
    return ShowMessageBox(nullptr, question, MessageKind::Confirmation, MessageButton::YesNo) ==
           MessageResult::Yes;
}

// Whether a collected file that is there is taken: an empty file (which no library can check)
// goes by its extension, any other by the library of its family. An ".exe" that cannot be read
// for the self-extractor check is no archive; the rest of the import goes on.
bool IsImportable(const std::string& path) {
    if (IsEmptyFile(path))
        return IsArchiveByExtension(path);
    try {
        return GetArchiveKind(path) != ArchiveKind::None;
    } catch (const EFOpenError&) {
        return false;
    }
}

} // namespace

void TArchiveCoolForm::ConnectWatch() {
    FileMonitor.SetTag(0);
    FileMonitor.OnChange = [this](TDiscMonitor&) { FileMonitorChange(); };
    FileMonitor.OnInvalid = [this](TDiscMonitor&) { ImportWatch.Invalid(); };
    ImportWatch.OnStateChanged = [this] { WatchStateChanged(); };
}

void TArchiveCoolForm::Act_NewWatchExecute() {
    std::string folder;
    if (ShowFolderDialog(1, Handle(), "監視フォルダの選択", "監視するフォルダを選択", "", "",
                         folder) == 1)
        StartWatch(folder);
}

void TArchiveCoolForm::StartWatch(const std::string& folder) {
    if (ImportWatch.Running())
        return;
    // The folder is watched and listed the moment the user answers, while the question is still
    // on screen: closing it may take a while, and a file that arrives meanwhile is one of those
    // the user wants collected. Its report may be handled before the question has closed, so the
    // count starts from nothing before the watch does, and nothing is reset afterwards.
    bool started = false;
    ConfirmThen(nullptr, "監視フォルダ : " + folder + "\r\n" + "書庫の取込を開始しますか？", [&] {
        // Another watch may have been started from the menu while the question was open.
        if (ImportWatch.Running() || !FolderExists(folder))
            return;
        lastReportedCount_ = 0;
        ImportWatch.Start(folder);
        WatchedFolder = folder;
        started = true;
        ShowTitle();
    });
    // The menu writes the list at once: it is what the menu shows next, even after a failed end.
    if (started && HisWatchRePath1)
        ReportingRegistryErrors([&] { HisWatchRePath1->AddFile(folder); });
}

std::string TArchiveCoolForm::Title() const {
    if (!ImportWatch.Running())
        return ui::ApplicationTitle();
    if (ImportWatch.Away())
        return kAwayTitle;
    if (lastReportedCount_ == 0)
        return kWatchingTitle;
    return FormatCount(static_cast<long long>(lastReportedCount_)) + " 件 取込";
}

void TArchiveCoolForm::ShowTitle() {
    const std::string title = Title();
    SetWindowTextA(Handle(), title.c_str());
    if (TrayIcon)
        TrayIcon->SetHint(title);
}

void TArchiveCoolForm::FileMonitorChange() {
    ImportWatch.Changed();
}

void TArchiveCoolForm::WatchStateChanged() {
    const std::size_t collected = ImportWatch.CollectedCount();
    if (collected > 0)
        lastReportedCount_ = collected;
    ShowTitle();
}

void TArchiveCoolForm::Act_WatchEndExecute() {
    if (!ImportWatch.Running())
        return;
    const std::size_t count = ImportWatch.CollectedStillThere();
    if (!Confirmed("現在の取込数: " + FormatCount(static_cast<long long>(count)) + "件" + "\r\n" +
                   "フォルダ監視を終了して書庫を取り込みますか？"))
        return;
    if (!ImportWatch.Running())
        return;
    // A folder away at the last look is not asked again: its files are gone for this import.
    const bool away = ImportWatch.Away();
    std::unique_ptr<watch::TImportListing> listing = ImportWatch.Stop();
    ShowTitle();
    ImportCollected(*listing, away);
}

void TArchiveCoolForm::ImportCollected(watch::TImportListing& listing, bool away) {
    listing.Finish();
    watch::TImportChecks checks;
    checks.exists = [away](const watch::TListedFile& file) {
        return !away && watch::ListedFileExists(file);
    };
    checks.isArchive = IsImportable;
    checks.namedAsArchive = [](const std::string& path) { return IsArchiveByExtension(path); };
    const watch::TImportOutcome outcome = watch::SortCollected(listing.Collected(), checks);
    // Success is told only once the companion has the list.
    watch::TImportHandOver handOver = watch::TImportHandOver::Done;
    if (!outcome.archives.empty()) {
        const HandOffResult sent = SendImportedArchives(outcome.archives);
        if (sent == HandOffResult::ListNotWritten)
            handOver = watch::TImportHandOver::ListNotWritten;
        else if (sent == HandOffResult::NotStarted)
            handOver = watch::TImportHandOver::CompanionNotStarted;
    }
    ShowMessageBox(nullptr, watch::ImportReportText(outcome, handOver, FormatCount),
                   handOver == watch::TImportHandOver::Done ? MessageKind::Information
                                                            : MessageKind::Error,
                   MessageButton::OKOnly);
}
