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
    if (FileMonitor.Tag() == 1)
        return;
    if (!Confirmed("監視フォルダ : " + folder + "\r\n" + "書庫の取込を開始しますか？") ||
        !FolderExists(folder))
        return;
    // Another watch may have been started from the menu while the question was open.
    if (FileMonitor.Tag() == 1)
        return;
    // The menu writes the list at once: it is what the menu shows next, even after a failed end.
    if (HisWatchRePath1)
        ReportingRegistryErrors([&] { HisWatchRePath1->AddFile(folder); });
    WatchedFolder = folder;
    FileMonitor.SetTag(1);
    importListing_ = std::make_unique<watch::TImportListing>(watch::ListFolderFiles(folder));
    lastReportedCount_ = 0;
    SetWatchTitle(kWatchingTitle);
    FileMonitor.SetDirectory(folder);
    FileMonitor.SetActive(true);
}

void TArchiveCoolForm::SetWatchTitle(const std::string& title) {
    SetWindowTextA(Handle(), title.c_str());
    if (TrayIcon)
        TrayIcon->SetHint(title);
}

void TArchiveCoolForm::FileMonitorChange() {
    if (!importListing_)
        return;
    // A folder deleted or renamed away ends the watch here, rather than being listed as
    // empty at every report.
    if (!watch::WatchedFolderPresent(WatchedFolder)) {
        WatchedFolderLost();
        return;
    }
    importListing_->Update(watch::ListFolderFiles(FileMonitor.Directory()));
    const std::size_t collected = importListing_->Collected().size();
    if (FileMonitor.Tag() == 1 && collected > 0 && collected != lastReportedCount_) {
        lastReportedCount_ = collected;
        SetWatchTitle(FormatCount(static_cast<long long>(collected)) + " 件 取込");
    }
}

std::unique_ptr<watch::TImportListing> TArchiveCoolForm::StopWatch() {
    FileMonitor.SetTag(0);
    // The empty folder first: the worker lets go of the folder it watched (a deleted folder
    // is gone only then); the report that the empty name cannot be watched is dropped, as the
    // monitor is inactive when it arrives.
    FileMonitor.SetDirectory("");
    FileMonitor.SetActive(false);
    SetWatchTitle(ui::ApplicationTitle());
    return std::move(importListing_);
}

void TArchiveCoolForm::Act_WatchEndExecute() {
    if (FileMonitor.Tag() != 1 || !importListing_)
        return;
    const std::size_t count = importListing_->Collected().size();
    if (!Confirmed("現在の取込数: " + FormatCount(static_cast<long long>(count)) + "件" + "\r\n" +
                   "フォルダ監視を終了して書庫を取り込みますか？"))
        return;
    // The watch may have ended while the question was open (its folder went away).
    if (FileMonitor.Tag() != 1 || !importListing_)
        return;
    ImportCollected(StopWatch());
}

void TArchiveCoolForm::WatchedFolderLost() {
    if (FileMonitor.Tag() != 1 || !importListing_)
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
