// The automatic import: watching a folder, counting the files that appear in it, and handing
// the new archives to the companion in one start when watching ends.
#include "app/ArchiveCoolForm.h"

#include "app/ReportedSettings.h"
#include "folders/TreeForm.h"
#include "handoff/CompanionLaunch.h"
#include "ui/ErrorReport.h"
#include "ui/MessageBox.h"
#include "util/FileProbe.h"
#include "util/SystemLookups.h"
#include "watch/FolderListing.h"
#include "watch/ImportReport.h"

#include <exception>

namespace {

constexpr const char* kWatchingTitle = "書庫自動取込の実行中";
// While the watched folder does not answer (a network folder that dropped, a stick pulled out):
// nothing is counted, and the watch goes on when it answers again.
constexpr const char* kAwayTitle = "監視フォルダの応答待ち";

bool Confirmed(const std::string& question) {
    return ShowMessageBox(nullptr, question, MessageKind::Confirmation, MessageButton::YesNo) ==
           MessageResult::Yes;
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

// The folder is looked at aside (a slow share never freezes the cat), the question comes when
// that look answers, then the import runs aside and its report comes when it is done. Meanwhile
// the end counts as a window of the program: nothing else of it opens.
void TArchiveCoolForm::Act_WatchEndExecute() {
    SetWatchEnding(true);
    if (!ImportWatch.LastLook([this](std::size_t stillThere) { AskWatchEnd(stillThere); }))
        SetWatchEnding(false);
}

void TArchiveCoolForm::AskWatchEnd(std::size_t stillThere) {
    bool ending = false;
    struct GoesOn {
        TArchiveCoolForm& form;
        bool& ending;
        ~GoesOn() {
            if (!ending)
                form.SetWatchEnding(false);
        }
    } goesOn{*this, ending};
    if (!Confirmed("現在の取込数: " + FormatCount(static_cast<long long>(stillThere)) + "件" +
                   "\r\n" + "フォルダ監視を終了して書庫を取り込みますか？"))
        return;
    ending = ImportWatch.Import(
        watch::ImportChecks(),
        [](const std::vector<std::string>& archives) {
            switch (SendImportedArchives(archives)) {
            case HandOffResult::Started:
                return watch::TImportHandOver::Done;
            case HandOffResult::ListNotWritten:
                return watch::TImportHandOver::ListNotWritten;
            default:
                return watch::TImportHandOver::CompanionNotStarted;
            }
        },
        [this](const watch::TImportOutcome& outcome, watch::TImportHandOver handOver,
               std::exception_ptr error) { ReportImport(outcome, handOver, error); });
    ShowTitle();
}

void TArchiveCoolForm::ReportImport(const watch::TImportOutcome& outcome,
                                    watch::TImportHandOver handOver, std::exception_ptr error) {
    struct Ended {
        TArchiveCoolForm& form;
        ~Ended() { form.SetWatchEnding(false); }
    } ended{*this};
    if (error)
        std::rethrow_exception(error);
    // Success is told only once the companion has the list.
    ShowMessageBox(nullptr, watch::ImportReportText(outcome, handOver, FormatCount),
                   handOver == watch::TImportHandOver::Done ? MessageKind::Information
                                                            : MessageKind::Error,
                   MessageButton::OKOnly);
}

void TArchiveCoolForm::SetWatchEnding(bool ending) {
    watchEnding_ = ending;
    if (ending && !Dragging)
        RefreshIconState();
    else if (!ending)
        PostMessageA(Handle(), kOtherWindowClosed, 0, 0);
}
