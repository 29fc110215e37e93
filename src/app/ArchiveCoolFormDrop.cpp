// Files dragged onto the icon window: the compress or extract picture during the drag, and
// the hand-off to the companion after the drop (or the menu of a right-button drop).
#include "app/ArchiveCoolForm.h"
#include "archive/ArchiveRecognizer.h"
#include "handoff/CompanionLaunch.h"
#include "ui/ErrorReport.h"
#include "ui/MessageBox.h"
#include "util/Errors.h"
#include "util/PathRules.h"
#include "util/SystemLookups.h"

namespace {

constexpr UINT kRightDropMenuDelay = 500;

// A drag the platform has not asked about for this long, and whose mouse button is up, has
// ended without a word (its source was closed, or crashed). The platform is sure to ask only when
// the pointer moves or a key changes: a person who holds a drag still over the cat still holds
// its button down.
constexpr DWORD kQuietDragMs = 3000;

// The mouse button the drag was made with is held down now (physically: GetAsyncKeyState reads
// the buttons as they are, the left one also when the user swapped them).
bool DragButtonDown(bool rightDrag) {
    const bool physicalRight = rightDrag != (GetSystemMetrics(SM_SWAPBUTTON) != 0);
    return GetAsyncKeyState(physicalRight ? VK_RBUTTON : VK_LBUTTON) < 0;
}

// Why dropped files did not reach the companion: their names have characters the code page
// lacks, and no short form either (a volume without short names).
std::string LeftOutMessage(const std::vector<std::string>& names) {
    std::string text;
    AppendNamesOutsideCodePage(text, names, true, FormatCount);
    return text;
}

} // namespace

bool TArchiveCoolForm::ShowsDragPicture() const {
    return CoolForm3.IsVisible() || CoolForm4.IsVisible();
}

droprules::DropAction TArchiveCoolForm::DragAction(TShiftState shift) const {
    if (DragRefused)
        return droprules::DropAction::Refuse;
    return droprules::ActionFor(
        {DropFileTarget1.Files(), AllArchives, (shift & ssShift) != 0, RightDrag});
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
    DragRefused = !droprules::TakesDrag(files, {.readyPicture = CoolForm1.IsVisible(),
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
    PostMessageA(Handle(), kShowHeldReports, 0, 0);
}

void TArchiveCoolForm::EndQuietDrag() {
    // (A drag whose entering failed half-way has left the drop target holding nothing.)
    if (!Dragging || (DropFileTarget1.Dragging() &&
                      (!DropFileTarget1.QuietFor(kQuietDragMs) || DragButtonDown(RightDrag))))
        return;
    // The drop target keeps what it read: a source that was only slow may still drop, and is
    // then served as ever. The refresh that follows shows the cat's own picture again.
    DropFileTarget1.HideDragImage();
    DragEnded();
}

void TArchiveCoolForm::Timer2Timer() {
    Timer2.SetInterval(0);
    if (dropMenus_.empty())
        return;
    // A menu takes the mouse: it waits while another drag is over the cat.
    if (Dragging) {
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
