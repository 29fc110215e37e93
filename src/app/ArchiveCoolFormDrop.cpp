// Files dragged onto the icon window: the compress or extract picture during the drag, and
// the hand-off to the companion after the drop (or the menu of a right-button drop).
#include "app/ArchiveCoolForm.h"
#include "archive/ArchiveRecognizer.h"
#include "handoff/CompanionLaunch.h"
#include "ui/ErrorReport.h"
#include "ui/MessageBox.h"
#include "util/Errors.h"

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
    ListFilesMessage("次のファイルは、名前にこのコンピューターの文字コードで表せない文字が"
                     "含まれているため、Morvaに渡せません。\r\n",
                     10, text, false, names);
    return text;
}

} // namespace

bool TArchiveCoolForm::ShowsDragPicture() const {
    return CoolForm3.IsVisible() || CoolForm4.IsVisible();
}

droprules::DropAction TArchiveCoolForm::DragAction(TShiftState shift) const {
    if (DragRefused)
        return droprules::DropAction::Refuse;
    return droprules::ActionFor({DropFileTarget1.Files(), AllArchives, (shift & ssShift) != 0,
                                 RightDrag});
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
    const auto& files = DropFileTarget1.Files();
    DragRefused = !droprules::TakesDrag(
        files, {.readyPicture = CoolForm1.IsVisible(),
                .dragPicture = ShowsDragPicture(),
                .libraryBusy = !files.empty() && IsArchiverBusy()});
    if (!DragRefused) {
        try {
            // Every drag decides from its own files.
            AllArchives = AreAllArchives(files);
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
    const droprules::DropAction action = DragAction(shift);
    if (action == droprules::DropAction::Refuse) {
        effect = dropfiles::kEffectNone;
        return;
    }
    // The companion reads the files later and the program never moves them: a source told
    // "move" would delete the originals.
    effect = dropfiles::kEffectCopy;
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
