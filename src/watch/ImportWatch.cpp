// The automatic import's watch: arming the monitor, the looks at the folder and their answers,
// letting go.
#include "watch/ImportWatch.h"

#include <new>

namespace watch {

void TImportWatch::Start(const std::string& folder) {
    if (!answers_)
        answers_ =
            std::make_unique<TGuiHandOff>([this](WPARAM number, LPARAM) { Answered(number); });
    const std::string previous = monitor_.Directory();
    monitor_.SetTag(0);
    monitor_.SetDirectory(folder);
    try {
        // Armed first, and the worker reports once the watch is open: a file that arrives
        // before then, while the folder is listed here, is collected at that report.
        monitor_.SetActive(true);
        monitor_.Reopen();
        listing_ = std::make_unique<TImportListing>(Lister(folder));
    } catch (...) {
        listing_.reset();
        // The worker lets go of the folder before it pauses, as at the end of a watch.
        monitor_.SetDirectory("");
        monitor_.SetActive(false);
        monitor_.SetDirectory(previous);
        throw;
    }
    away_ = false;
    rearm_ = false;
    // An answer still on its way belongs to an earlier watch.
    looking_ = 0;
    answer_.reset();
    lookAgain_ = false;
    listAgain_ = false;
    monitor_.SetTag(1);
}

void TImportWatch::Changed() {
    AskLook(true);
}

// Not looked at at once: a folder that is there but cannot be watched is tried again at each
// tick, never in a loop.
void TImportWatch::Invalid() {
    if (Running())
        rearm_ = true;
}

void TImportWatch::Look() {
    AskLook(false);
}

void TImportWatch::Resumed() {
    if (!Running())
        return;
    rearm_ = true;
    AskLook(false);
}

std::size_t TImportWatch::CollectedStillThere() const {
    if (!listing_ || away_)
        return 0;
    std::size_t count = 0;
    for (const TListedFile& file : listing_->Collected())
        count += ListedFileExists(file);
    return count;
}

std::unique_ptr<TImportListing> TImportWatch::Stop() {
    if (!listing_)
        return nullptr;
    monitor_.SetTag(0);
    looking_ = 0;
    answer_.reset();
    // The empty folder first: the worker lets go of the folder it watched (a deleted folder is
    // gone only then); the report that the empty name cannot be watched is dropped, as the
    // monitor is inactive when it arrives.
    monitor_.SetDirectory("");
    monitor_.SetActive(false);
    return std::move(listing_);
}

// One look at a time: a look asked for meanwhile follows the one under way, listing when any
// of those asked for did.
void TImportWatch::AskLook(bool list) {
    if (!Running())
        return;
    if (looking_) {
        lookAgain_ = true;
        listAgain_ = listAgain_ || list;
        return;
    }
    const WPARAM number = ++lastLook_ == 0 ? ++lastLook_ : lastLook_;
    auto answer = std::make_shared<TFolderLook>();
    HWND window = answers_->Window();
    const bool asked = LookAtFolderAside(monitor_.Directory(), list, Lister,
                                         [answer, window, number](TFolderLook look) {
                                             *answer = std::move(look);
                                             TGuiHandOff::Post(window, number, 0);
                                         });
    if (!asked) {
        // The next tick asks again, listing if this look was to.
        listAgain_ = listAgain_ || list;
        return;
    }
    looking_ = number;
    answer_ = std::move(answer);
}

void TImportWatch::Answered(WPARAM number) {
    if (number != looking_ || !answer_)
        return;
    TFolderLook look = std::move(*answer_);
    looking_ = 0;
    answer_.reset();
    if (!Running())
        return;
    const bool wasAway = away_;
    const std::size_t collected = CollectedCount();
    const bool list = listAgain_;
    const bool again = lookAgain_ || listAgain_;
    lookAgain_ = false;
    listAgain_ = false;
    away_ = !look.present;
    if (away_) {
        // When it answers again it may be another folder by the same name (a share reconnected,
        // a stick put back): it is watched anew.
        rearm_ = true;
    } else {
        if (rearm_) {
            // Watched anew; the monitor then reports, and the folder is listed anew: what
            // arrived meanwhile is collected.
            rearm_ = false;
            monitor_.Reopen();
        }
        if (look.listed) {
            try {
                listing_->Update(std::move(look.files));
            } catch (const std::bad_alloc&) {
                // No room to compare: the last look stays, and the next one tries again.
            }
        }
    }
    if ((away_ != wasAway || CollectedCount() != collected) && OnStateChanged)
        OnStateChanged();
    if (again)
        AskLook(list);
}

} // namespace watch
