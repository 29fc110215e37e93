// The automatic import: watching a folder, counting the files that appear in it, and handing
// the new archives to the companion in one start when watching ends.
#include "app/ArchiveCoolForm.h"

#include "app/ReportedSettings.h"
#include "archive/ArchiveRecognizer.h"
#include "folders/TreeForm.h"
#include "handoff/CompanionLaunch.h"
#include "ui/ErrorReport.h"
#include "util/Errors.h"
#include "util/FileProbe.h"
#include "util/MessageBox.h"
#include "util/SystemLookups.h"
#include "watch/FolderListing.h"

namespace {

constexpr const char* kWatchingTitle = "書庫自動取込の実行中";

// A folder that is really gone ends the watch; one that did not answer for a moment (a network
// folder briefly away) does not: it must have been missing at every look for this long.
constexpr DWORD kMissingBeforeLostMs = 2000;

bool Confirmed(const std::string& question) {
    return ShowMessageBox(nullptr, question, MessageKind::Confirmation, MessageButton::YesNo) ==
           MessageResult::Yes;
}

void Inform(const std::string& text) {
    ShowMessageBox(nullptr, text, MessageKind::Information, MessageButton::OKOnly);
}

// Whether a collected file is taken: it must still be there; an empty file (which no library
// can check) goes by its extension, any other by the library of its family. An ".exe" that
// cannot be read for the self-extractor check is no archive; the rest of the import goes on.
bool IsImportable(const std::string& path) {
    if (!FileExistsQuiet(path))
        return false;
    if (IsEmptyFile(path))
        return IsArchiveByExtension(path);
    try {
        return GetArchiveKind(path) != ArchiveKind::None;
    } catch (const EFOpenError&) {
        return false;
    }
}

} // namespace

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
    // the user wants collected.
    bool started = false;
    ConfirmThen(nullptr, "監視フォルダ : " + folder + "\r\n" + "書庫の取込を開始しますか？", [&] {
        // Another watch may have been started from the menu while the question was open.
        if (ImportWatch.Running() || !FolderExists(folder))
            return;
        ImportWatch.Start(folder);
        started = true;
    });
    if (!started)
        return;
    WatchedFolder = folder;
    ++watchNumber_;
    folderMissing_ = false;
    lastReportedCount_ = 0;
    // The menu writes the list at once: it is what the menu shows next, even after a failed end.
    if (HisWatchRePath1)
        ReportingRegistryErrors([&] { HisWatchRePath1->AddFile(folder); });
    ShowTitle();
}

std::string TArchiveCoolForm::Title() const {
    if (!ImportWatch.Running())
        return ui::ApplicationTitle();
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
    if (!ImportWatch.Running())
        return;
    const std::size_t collected = ImportWatch.Update();
    if (collected > 0 && collected != lastReportedCount_) {
        lastReportedCount_ = collected;
        ShowTitle();
    }
}

void TArchiveCoolForm::LookForWatchedFolder() {
    if (ImportWatch.Running() && !folderLookPending_)
        folderLookPending_ =
            watch::PostFolderPresence(Handle(), kWatchedFolderLooked, watchNumber_, WatchedFolder);
}

void TArchiveCoolForm::WatchedFolderLooked(WPARAM watch, bool present) {
    folderLookPending_ = false;
    if (watch != watchNumber_ || !ImportWatch.Running())
        return;
    if (present) {
        folderMissing_ = false;
        return;
    }
    const DWORD now = GetTickCount();
    if (!folderMissing_) {
        folderMissing_ = true;
        folderMissingSince_ = now;
    }
    if (now - folderMissingSince_ >= kMissingBeforeLostMs)
        WatchedFolderLost();
}

std::unique_ptr<watch::TImportListing> TArchiveCoolForm::StopWatch() {
    std::unique_ptr<watch::TImportListing> listing = ImportWatch.Stop();
    ShowTitle();
    return listing;
}

void TArchiveCoolForm::Act_WatchEndExecute() {
    if (!ImportWatch.Running())
        return;
    const std::size_t count = ImportWatch.CollectedCount();
    if (!Confirmed("現在の取込数: " + FormatCount(static_cast<long long>(count)) + "件" + "\r\n" +
                   "フォルダ監視を終了して書庫を取り込みますか？"))
        return;
    // The watch may have ended while the question was open (its folder went away).
    if (!ImportWatch.Running())
        return;
    ImportCollected(StopWatch());
}

void TArchiveCoolForm::WatchedFolderLost() {
    if (!ImportWatch.Running())
        return;
    std::unique_ptr<watch::TImportListing> listing = StopWatch();
    Inform("監視フォルダ : " + WatchedFolder + "\r\n" +
           "監視フォルダが見つからないか監視できないため、フォルダ監視を終了しました。");
    if (!listing->Collected().empty())
        ImportCollected(std::move(listing));
}

void TArchiveCoolForm::ImportCollected(std::unique_ptr<watch::TImportListing> listing) {
    if (!listing)
        return;
    listing->Finish();
    const std::vector<std::string>& collected = listing->Collected();
    std::vector<std::string> archives;
    for (const std::string& path : collected)
        if (IsImportable(path))
            archives.push_back(path);
    if (collected.empty()) {
        Inform("取り込んだファイルはありません");
        return;
    }
    const std::string header =
        "取込数 : " + FormatCount(static_cast<long long>(collected.size())) + "件" + "\r\n";
    if (archives.empty()) {
        Inform(header + "取り込んだファイルに書庫と認識できるファイルはありません");
        return;
    }
    std::string text;
    ListFilesMessage(header, 10, text, true, archives);
    // Success is told only once the companion has the list.
    if (SendImportedArchives(archives))
        Inform(text + "\r\n" + FormatCount(static_cast<long long>(archives.size())) +
               " 件の書庫を取り込みました。");
    else
        ShowMessageBox(nullptr,
                       text + "\r\n" + "Morvaを起動できないため、書庫を取り込めませんでした。",
                       MessageKind::Error, MessageButton::OKOnly);
}
