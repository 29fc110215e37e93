// Files dragged onto the icon window: the compress or extract picture during the drag, and
// the hand-off to the companion at the drop (or the menu of a right-button drop).
#include "app/ArchiveCoolForm.h"
#include "archive/ArchiveRecognizer.h"
#include "handoff/CompanionLaunch.h"
#include "ui/ErrorReport.h"
#include "util/Errors.h"

#include <algorithm>

namespace {
constexpr UINT kRightDropMenuDelay = 500;
} // namespace

bool TArchiveCoolForm::ShowsDragPicture() const {
    return CoolForm3.IsVisible() || CoolForm4.IsVisible();
}

void TArchiveCoolForm::DropFileTarget1Enter(TShiftState shift, DWORD& effect) {
    Dragging = true;
    RightDrag = (shift & ssRight) != 0;
    const auto& files = DropFileTarget1.Files();
    // A drag picture still shown is the ready cat: a drag that has just ended left it, or this
    // very drag did, when the pointer crosses from one picture layer to another.
    DragRefused =
        !(files.empty() || IsArchiverBusy() || CoolForm1.IsVisible() || ShowsDragPicture());
    if (!DragRefused) {
        try {
            // Every drag decides from its own files.
            AllArchives = AreAllArchives(files);
        } catch (const std::exception& error) {
            // A file that cannot be read (a folder named like a program). No box may open while
            // the source sits in its drag loop holding the mouse: the drag is refused and the
            // message waits until the drag is over.
            DragRefused = true;
            ReportWhenDragEnds(error.what());
        }
    }
    // A refused drag keeps the no-drop cursor until it leaves.
    if (DragRefused) {
        effect = dropfiles::kEffectNone;
        return;
    }
    effect = dropfiles::ReadOnlyDragCursor(shift, effect);
    if (!RightDrag)
        ShowDragPicture(shift);
}

void TArchiveCoolForm::DropFileTarget1DragOver(TShiftState shift, DWORD& effect) {
    Dragging = true;
    if (DragRefused) {
        effect = dropfiles::kEffectNone;
        return;
    }
    effect = dropfiles::ReadOnlyDragCursor(shift, effect);
    if (!RightDrag)
        ShowDragPicture(shift);
}

void TArchiveCoolForm::DropFileTarget1Leave() {
    Dragging = false;
    DragRefused = false;
    PostPendingReports();
}

void TArchiveCoolForm::DropFileTarget1Drop(TShiftState shift, POINT point, DWORD& effect) {
    struct DragEnds {
        TArchiveCoolForm& form;
        ~DragEnds() {
            form.Dragging = false;
            form.DragRefused = false;
            form.PostPendingReports();
        }
    } dragEnds{*this};
    const auto& files = DropFileTarget1.Files();
    if (files.empty() || DragRefused) {
        effect = dropfiles::kEffectNone;
        return;
    }
    // The companion reads the files later and the program never moves them: a source told
    // "move" would delete the originals.
    effect = dropfiles::kEffectCopy;
    DroppedFiles = files;
    if (RightDrag) {
        // The menu opens once the drag-and-drop exchange with the source has finished.
        ClientToScreen(Handle(), &point);
        PopupPoint = point;
        Timer2.SetInterval(kRightDropMenuDelay);
        return;
    }
    if (AllArchives && !(shift & ssShift))
        QuickExtract(DroppedFiles);
    else
        QuickCompress(DroppedFiles);
    // Handed over: the cat shows what its state calls for at once, ready for the next drag.
    Dragging = false;
    RefreshIconState();
}

void TArchiveCoolForm::ReportWhenDragEnds(const std::string& message) {
    // The pointer crossing the cat's picture layers enters again with the same files: one
    // message is enough.
    if (std::find(pendingReports_.begin(), pendingReports_.end(), message) == pendingReports_.end())
        pendingReports_.push_back(message);
}

void TArchiveCoolForm::PostPendingReports() {
    if (!pendingReports_.empty())
        PostMessageA(Handle(), kShowPendingReports, 0, 0);
}

void TArchiveCoolForm::ShowPendingReports() {
    // Still inside a drag (the message came early): the drag's end posts it again.
    if (DropFileTarget1.Dragging())
        return;
    auto reports = std::move(pendingReports_);
    pendingReports_.clear();
    for (const std::string& message : reports)
        ui::ReportException(EAppError(message));
}

void TArchiveCoolForm::Timer2Timer() {
    Timer2.SetInterval(0);
    ShowMenu(PopupMenu2, PopupPoint);
    // The choice is made (or the menu dismissed): back to the picture the state calls for.
    if (!Dragging)
        RefreshIconState();
}

void TArchiveCoolForm::PopupMenu2Popup() {
    bool archives = AreAllArchives(DroppedFiles);
    Act_View.SetEnabled(archives);
    Act_Extract.SetEnabled(archives);
    Act_Compress1.SetEnabled(true);
    Act_PopCancel.SetEnabled(true);
}
