// Files dragged onto the icon window: the compress or extract picture during the drag, and
// the hand-off to the companion at the drop (or the menu of a right-button drop).
#include "app/ArchiveCoolForm.h"
#include "archive/ArchiveRecognizer.h"
#include "handoff/CompanionLaunch.h"

namespace {
constexpr UINT kRightDropMenuDelay = 500;

// The files themselves are never moved or copied: copy and move only choose the cursor.
DWORD CursorEffect(TShiftState shift) {
    return (shift & ssCtrl) ? dropfiles::kEffectCopy : dropfiles::kEffectMove;
}
} // namespace

void TArchiveCoolForm::DropFileTarget1Enter(TShiftState shift, DWORD& effect) {
    Dragging = true;
    RightDrag = (shift & ssRight) != 0;
    const auto& files = DropFileTarget1.Files();
    bool accepted = files.empty() || IsArchiverBusy() || CoolForm1.IsVisible();
    if (!accepted) {
        effect = dropfiles::kEffectNone;
        // Refused because the cat rests (no companion, another window open): that holds until
        // the drag leaves. Refused because it still shows the picture of this very drag, as
        // when the pointer crosses from one picture layer to another, it does not.
        DragRefused = CoolForm2.IsVisible();
        return;
    }
    DragRefused = false;
    try {
        AllArchives = AreAllArchives(files);
    } catch (...) {
        // A file that cannot be read (a folder named like a program) ends this drag here: the
        // drop target forgets it without a leave, so the picture must not wait for one.
        Dragging = false;
        throw;
    }
    effect = CursorEffect(shift);
    if (!RightDrag)
        ShowDragPicture(shift);
}

void TArchiveCoolForm::DropFileTarget1DragOver(TShiftState shift, DWORD& effect) {
    Dragging = true;
    // A refused drag keeps the no-drop cursor while it stays over the resting cat, instead of
    // being taken at the next move and dropped for nothing.
    if (DragRefused) {
        effect = dropfiles::kEffectNone;
        return;
    }
    effect = CursorEffect(shift);
    if (!RightDrag)
        ShowDragPicture(shift);
}

void TArchiveCoolForm::DropFileTarget1Leave() {
    Dragging = false;
}

void TArchiveCoolForm::DropFileTarget1Drop(TShiftState shift, POINT point, DWORD&) {
    const auto& files = DropFileTarget1.Files();
    if (files.empty() || DragRefused) {
        Dragging = false;
        DragRefused = false;
        return;
    }
    DroppedFiles = files;
    struct DragEnds {
        bool& dragging;
        ~DragEnds() { dragging = false; }
    } dragEnds{Dragging};
    if (RightDrag) {
        // The menu opens once the drag-and-drop exchange with the source has finished.
        ClientToScreen(Handle(), &point);
        PopupPoint = point;
        Timer2.SetInterval(kRightDropMenuDelay);
    } else if (AllArchives && !(shift & ssShift)) {
        QuickExtract(DroppedFiles);
    } else {
        QuickCompress(DroppedFiles);
    }
}

void TArchiveCoolForm::Timer2Timer() {
    Timer2.SetInterval(0);
    ShowMenu(PopupMenu2, PopupPoint);
}

void TArchiveCoolForm::PopupMenu2Popup() {
    bool archives = AreAllArchives(DroppedFiles);
    Act_View.SetEnabled(archives);
    Act_Extract.SetEnabled(archives);
    Act_Compress1.SetEnabled(true);
    Act_PopCancel.SetEnabled(true);
}
