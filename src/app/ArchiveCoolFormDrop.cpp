// Files dragged onto the icon window: the compress or extract picture during the drag, and
// the hand-off to the companion after the drop (or the menu of a right-button drop).
#include "app/ArchiveCoolForm.h"
#include "archive/ArchiveRecognizer.h"
#include "handoff/CompanionLaunch.h"
#include "handoff/DropFolders.h"
#include "ui/ErrorReport.h"
#include "ui/MessageBox.h"
#include "util/Errors.h"
#include "util/PathRules.h"
#include "util/SystemLookups.h"

namespace {

constexpr UINT kRightDropMenuDelay = 500;

// A drag the platform has not asked about for this long, while no mouse button is down, has
// ended without a word (its source was closed, or crashed). The platform is sure to ask only when
// the pointer moves or a key changes: a person who holds a drag still over the cat still holds
// its button down.
constexpr DWORD kQuietDragMs = 3000;

// A mouse button is held down now. Any of them: a drag may be made with the middle or a side
// button too, and GetAsyncKeyState reads the buttons as they physically are, whichever of them
// the user swapped.
bool AnyMouseButtonDown() {
    for (int button : {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON, VK_XBUTTON1, VK_XBUTTON2})
        if (GetAsyncKeyState(button) < 0)
            return true;
    return false;
}

// Why dropped files did not reach the companion: their names have characters the code page
// lacks, and no short form either (a volume without short names).
std::string LeftOutMessage(const std::vector<std::string>& names) {
    std::string text;
    AppendNamesOutsideCodePage(text, names, true, FormatCount);
    return text;
}

// Why a drop of files that exist only inside their source reached nothing: nothing of it was
// handed over, and what was written of it is gone again.
std::string VirtualFilesMessage(const VirtualFilesWritten& written, const std::string& folder) {
    using Outcome = VirtualFilesWritten::Outcome;
    switch (written.outcome) {
    case Outcome::Unreadable:
        return "ファイル：" + written.item + "\r\n" +
               "ドロップ元のプログラムからこのファイルの内容を読み取れないため、Morvaに渡せません。"
               "\r\n" +
               "ドロップ元のプログラムでファイルを開けるか確かめてから、もう一度ドロップしてくださ"
               "い。";
    case Outcome::DiskFull:
        return "フォルダ：" + folder + "\r\n" +
               "ディスクに空きがないため、ドロップされたファイルを書き込めません。\r\n" +
               "空きを作ってから、もう一度ドロップしてください。";
    case Outcome::NotWritable:
        return "フォルダ：" + folder + "\r\n" +
               (written.item.empty() ? std::string() : "ファイル：" + written.item + "\r\n") +
               "ドロップされたファイルをこのフォルダに書き込めません。\r\n" +
               "作業フォルダの設定と、このフォルダに書き込めるかを確かめてください。";
    case Outcome::Written:
    case Outcome::Stopped:
        break;
    }
    return {};
}

std::string TooManyItemsMessage(std::uint32_t count) {
    return FormatText("ドロップされた項目が %s 個あるため、Morvaに渡せません。一度に渡せるのは "
                      "%s 個までです。分けてドロップしてください。",
                      {FormatCount(count), FormatCount(vfiles::kMostItems)});
}

} // namespace

bool TArchiveCoolForm::ShowsDragPicture() const {
    return CoolForm3.IsVisible() || CoolForm4.IsVisible();
}

const std::vector<std::string>& TArchiveCoolForm::DragNames() const {
    return DropFileTarget1.OffersVirtualFiles() ? DropFileTarget1.VirtualNames()
                                                : DropFileTarget1.Files();
}

droprules::DropAction TArchiveCoolForm::DragAction(TShiftState shift) const {
    if (DragRefused)
        return droprules::DropAction::Refuse;
    return droprules::ActionFor({DragNames(), AllArchives, (shift & ssShift) != 0, RightDrag});
}

void TArchiveCoolForm::AnswerDrag(TShiftState shift, DWORD& effect) {
    // A refused drag keeps the no-drop cursor until it leaves.
    if (DragRefused) {
        effect = dropfiles::kEffectNone;
        return;
    }
    effect = dropfiles::ReadOnlyDragCursor(shift, effect);
    ShowDragPicture(shift);
}

void TArchiveCoolForm::DropFileTarget1Enter(TShiftState shift, DWORD& effect) {
    Dragging = true;
    RightDrag = (shift & ssRight) != 0;
    const auto& files = DragNames();
    DragRefused = !droprules::TakesDrag(files, {.readyPicture = CoolForm1.IsVisible(),
                                                .dragPicture = ShowsDragPicture(),
                                                .libraryBusy = !files.empty() && IsArchiverBusy()});
    if (!DragRefused) {
        try {
            // Every drag decides from its own files; files not written yet by their names.
            AllArchives = DropFileTarget1.OffersVirtualFiles() ? AreAllArchivesByName(files)
                                                               : AreAllArchives(files);
        } catch (const std::exception& error) {
            // A file that cannot be read (a folder named like a program). The drag is refused;
            // the message waits until the drag is over, as every report does meanwhile.
            DragRefused = true;
            ui::ReportException(error);
        }
    }
    AnswerDrag(shift, effect);
}

void TArchiveCoolForm::DropFileTarget1DragOver(TShiftState shift, DWORD& effect) {
    Dragging = true;
    AnswerDrag(shift, effect);
}

void TArchiveCoolForm::DropFileTarget1Leave() {
    DragRefused = false;
    DragEnded();
}

void TArchiveCoolForm::DropFileTarget1Drop(TShiftState shift, POINT point, DWORD& effect) {
    struct DragEnds {
        TArchiveCoolForm& form;
        ~DragEnds() {
            form.DragRefused = false;
            form.DragEnded();
        }
    } dragEnds{*this};
    const auto& files = DropFileTarget1.Files();
    if (!DragRefused && !DropFileTarget1.LeftOutNames().empty())
        ui::ReportException(EAppError(LeftOutMessage(DropFileTarget1.LeftOutNames())));
    const vfiles::FileGroup& group = DropFileTarget1.VirtualFiles();
    if (!DragRefused && group.verdict == vfiles::GroupVerdict::TooMany)
        ui::ReportException(EAppError(TooManyItemsMessage(group.count)));
    const droprules::DropAction action = DragAction(shift);
    if (action == droprules::DropAction::Refuse) {
        effect = dropfiles::kEffectNone;
        return;
    }
    // The companion reads the files later and the program never moves them: a source told
    // "move" would delete the originals.
    effect = dropfiles::kEffectCopy;
    if (DropFileTarget1.OffersVirtualFiles()) {
        DropVirtualFiles(shift, point);
        return;
    }
    DroppedFiles = files;
    if (action == droprules::DropAction::Menu) {
        // The menu opens once the drag-and-drop exchange with the source has finished.
        ClientToScreen(Handle(), &point);
        dropMenus_.push_back({point, files});
        if (!dropMenuOpen_ && dropMenus_.size() == 1)
            Timer2.SetInterval(kRightDropMenuDelay);
        return;
    }
    // Nothing that may wait runs inside the drop: the source (Explorer, say) sits in its drag
    // loop until the drop returns, and starting the companion can take seconds.
    dropHandOffs_.push_back({action == droprules::DropAction::Extract, files});
    PostMessageA(Handle(), kHandOverDrops, 0, 0);
    // Handed on: the cat shows what its state calls for at once, ready for the next drag.
    Dragging = false;
    RefreshIconState();
}

void TArchiveCoolForm::HandOverDrops() {
    // Not inside a drop that reads its files (the platform lets this message in while the cat
    // waits for the source): the drop posts it again as it ends.
    if (DropFileTarget1.InDrop())
        return;
    // One start for each drop, in the order of the drops; a failing one does not hold up the next.
    while (!dropHandOffs_.empty()) {
        const DropHandOff next = std::move(dropHandOffs_.front());
        dropHandOffs_.pop_front();
        ui::RunGuarded([&] {
            if (next.extract)
                QuickExtract(next.files);
            else
                QuickCompress(next.files);
        });
    }
}

void TArchiveCoolForm::DropVirtualFiles(TShiftState shift, POINT point) {
    ClientToScreen(Handle(), &point);
    VirtualDrop drop{nullptr, (shift & ssShift) != 0, RightDrag, point};
    try {
        drop.read = std::make_unique<TVirtualFileDrop>(
            DropFileTarget1.DropData(), DropFileTarget1.VirtualFiles().items, MakeDropFolder());
    } catch (const std::exception& error) {
        ui::ReportException(error);
        return;
    }
    if (drop.read->ReadAfterDrop(Handle(), kVirtualFilesRead)) {
        virtualDrops_.push_back(std::move(drop));
        Dragging = false;
        RefreshIconState();
        return;
    }
    // Its data are good only now: read while the source waits, showing the cat busy meanwhile,
    // and nothing else (no box, no start of the companion) until the drop has returned.
    CoolForm1.SetVisible(false);
    CoolForm3.SetVisible(false);
    CoolForm4.SetVisible(false);
    CoolForm2.SetVisible(true);
    RedrawWindow(Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    const VirtualFilesWritten written = drop.read->ReadNow();
    HandOverVirtualFiles(drop, written);
    if (!dropHandOffs_.empty())
        PostMessageA(Handle(), kHandOverDrops, 0, 0);
    Dragging = false;
    RefreshIconState();
}

void TArchiveCoolForm::VirtualFilesRead() {
    // In the order of the drops, each as soon as it and those before it are written.
    while (!virtualDrops_.empty() && virtualDrops_.front().read->Done()) {
        VirtualDrop drop = std::move(virtualDrops_.front());
        virtualDrops_.pop_front();
        const VirtualFilesWritten written = drop.read->Finish();
        ui::RunGuarded([&] { HandOverVirtualFiles(drop, written); });
    }
}

void TArchiveCoolForm::HandOverVirtualFiles(const VirtualDrop& drop,
                                            const VirtualFilesWritten& written) {
    const std::string& folder = drop.read->Folder();
    if (written.outcome != VirtualFilesWritten::Outcome::Written || written.paths.empty()) {
        RemoveDropFolder(folder);
        if (written.outcome != VirtualFilesWritten::Outcome::Stopped)
            ui::ReportException(EAppError(written.leftOut.empty()
                                              ? VirtualFilesMessage(written, folder)
                                              : LeftOutMessage(written.leftOut)));
        return;
    }
    if (!written.leftOut.empty())
        ui::ReportException(EAppError(LeftOutMessage(written.leftOut)));
    // The files decide now that they are there, by the rule of every drop (the right button's
    // menu looks at them itself).
    droprules::DropAction action = droprules::DropAction::Refuse;
    try {
        action = droprules::ActionFor(
            {written.paths, !drop.right && AreAllArchives(written.paths), drop.shift, drop.right});
    } catch (const std::exception& error) {
        // A written self-extractor that cannot be opened.
        ui::ReportException(error);
    }
    if (action == droprules::DropAction::Refuse) {
        RemoveDropFolder(folder);
        return;
    }
    // Noted before anybody else may put files beside them: the folder is later cleared of what
    // the drop wrote, and of nothing else.
    if (!RecordDropFolder(folder, written.made)) {
        RemoveDropFolder(folder);
        VirtualFilesWritten notNoted;
        notNoted.outcome = VirtualFilesWritten::Outcome::NotWritable;
        ui::ReportException(EAppError(VirtualFilesMessage(notNoted, folder)));
        return;
    }
    DroppedFiles = written.paths;
    if (action == droprules::DropAction::Menu) {
        dropMenus_.push_back({drop.at, written.paths});
        if (!dropMenuOpen_ && dropMenus_.size() == 1)
            Timer2.SetInterval(kRightDropMenuDelay);
        return;
    }
    dropHandOffs_.push_back({action == droprules::DropAction::Extract, written.paths});
    PostMessageA(Handle(), kHandOverDrops, 0, 0);
}

void TArchiveCoolForm::DragEnded() {
    Dragging = false;
    quietEndAt_.reset();
    PostMessageA(Handle(), kShowHeldReports, 0, 0);
}

bool TArchiveCoolForm::HoldsReportsAfterQuietEnd() const {
    return quietEndAt_ && GetTickCount() - *quietEndAt_ < kReportsHeldAfterQuietEndMs;
}

void TArchiveCoolForm::EndQuietDrag() {
    // Reports held since a quiet end are shown once it is long enough ago (unless another drag
    // holds them now).
    if (quietEndAt_ && !HoldsReportsAfterQuietEnd()) {
        quietEndAt_.reset();
        PostMessageA(Handle(), kShowHeldReports, 0, 0);
    }
    // (A drag whose entering failed half-way has left the drop target holding nothing.)
    if (!Dragging || (DropFileTarget1.Dragging() &&
                      (!DropFileTarget1.QuietFor(kQuietDragMs) || AnyMouseButtonDown())))
        return;
    // The drop target keeps what it read: a source that was only slow may still drop, and is
    // then served as ever. The refresh that follows shows the cat's own picture again; reports
    // wait on until a real leave or drop, or a while: a box opened under a drag that is still
    // going on (a source only slow to ask) would come between the person and the drag.
    DropFileTarget1.HideDragImage();
    Dragging = false;
    quietEndAt_ = GetTickCount();
}

void TArchiveCoolForm::Timer2Timer() {
    Timer2.SetInterval(0);
    if (dropMenus_.empty())
        return;
    // A menu takes the mouse: it waits while another drag is over the cat. Nor does it open over
    // another window of the program (a report of the drop), whose answer its commands would
    // run ahead of.
    if (Dragging || IsOtherWindowOpen()) {
        Timer2.SetInterval(kRightDropMenuDelay);
        return;
    }
    DropMenu menu = std::move(dropMenus_.front());
    dropMenus_.pop_front();
    menuFiles_ = std::move(menu.files);
    dropMenuOpen_ = true;
    struct Closed {
        TArchiveCoolForm& form;
        ~Closed() {
            form.dropMenuOpen_ = false;
            form.menuFiles_.clear();
            // Another right drop came while this menu was waiting or open: its own menu next.
            if (!form.dropMenus_.empty())
                form.Timer2.SetInterval(kRightDropMenuDelay);
        }
    } closed{*this};
    ShowMenu(PopupMenu2, menu.at);
    // The choice is made (or the menu dismissed): back to the picture the state calls for.
    if (!Dragging)
        RefreshIconState();
}

void TArchiveCoolForm::PopupMenu2Popup() {
    bool archives = AreAllArchives(menuFiles_);
    Act_View.SetEnabled(archives);
    Act_Extract.SetEnabled(archives);
    Act_Compress1.SetEnabled(true);
    Act_PopCancel.SetEnabled(true);
}
