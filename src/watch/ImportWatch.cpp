// The automatic import's watch: arming the monitor, the looks at the folder and their answers,
// the end's last look and import, letting go.
#include "watch/ImportWatch.h"

#include "archive/ArchiverLibraries.h"

#include <new>
#include <utility>

namespace watch {

// What a look found, filled on the pool's thread before it tells the window.
struct TImportWatch::TAnswer {
    enum class Kind { Look, LastLook, Import } kind = Kind::Look;
    TFolderLook look;
    // The end's steps take the listings along: the last look brings them back, the import lets
    // go of them.
    std::unique_ptr<TImportListing> listing;
    std::size_t stillThere = 0;
    TImportOutcome outcome;
    TImportHandOver handOver = TImportHandOver::Done;
    std::exception_ptr error;
};

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
    collected_ = 0;
    away_ = false;
    rearm_ = false;
    // An answer still on its way belongs to an earlier watch.
    looking_ = 0;
    answer_.reset();
    lookAgain_ = false;
    listAgain_ = false;
    afterLook_ = nullptr;
    lastLookAnswered_ = nullptr;
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
    AskLook(rearm_);
}

void TImportWatch::Resumed() {
    if (!Running())
        return;
    rearm_ = true;
    AskLook(false);
}

bool TImportWatch::LastLook(std::function<void(std::size_t stillThere)> answered) {
    if (!Running() || lastLookAnswered_ || afterLook_)
        return false;
    lastLookAnswered_ = std::move(answered);
    if (looking_)
        afterLook_ = [this] { StartLastLook(); };
    else
        StartLastLook();
    return true;
}

bool TImportWatch::Import(TImportChecks checks, TSend send, TImported done) {
    if (!Running() || lastLookAnswered_ || afterLook_)
        return false;
    auto step = [this, checks = std::move(checks), send = std::move(send), done = std::move(done)] {
        StartImport(checks, send, done);
    };
    if (looking_)
        afterLook_ = std::move(step);
    else
        step();
    return true;
}

std::unique_ptr<TImportListing> TImportWatch::Stop() {
    if (!listing_)
        return nullptr;
    monitor_.SetTag(0);
    looking_ = 0;
    answer_.reset();
    afterLook_ = nullptr;
    lastLookAnswered_ = nullptr;
    // The empty folder first: the worker lets go of the folder it watched (a deleted folder is
    // gone only then); the report that the empty name cannot be watched is dropped, as the
    // monitor is inactive when it arrives.
    monitor_.SetDirectory("");
    monitor_.SetActive(false);
    return std::move(listing_);
}

bool TImportWatch::RunAsLook(std::shared_ptr<TAnswer> answer, std::function<void()> work,
                             bool lengthy, bool hereWithoutThread) {
    const WPARAM number = ++lastLook_ == 0 ? ++lastLook_ : lastLook_;
    // Set first: work taken here answers at once.
    looking_ = number;
    answer_ = std::move(answer);
    auto answered = [work = std::move(work), window = answers_->Window(), number] {
        work();
        TGuiHandOff::Post(window, number, 0);
    };
    if (RunAside(answered, lengthy))
        return true;
    if (hereWithoutThread) {
        answered();
        return true;
    }
    looking_ = 0;
    answer_.reset();
    return false;
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
    auto answer = std::make_shared<TAnswer>();
    auto look = [answer, folder = monitor_.Directory(), list, lister = Lister] {
        answer->look = LookAtFolder(folder, list, lister);
    };
    // Without a thread, the next tick asks again, listing if this look was to.
    if (!RunAsLook(answer, look, list, false))
        listAgain_ = listAgain_ || list;
}

// The last look lists the folder, collects what arrived and asks which collected files are still
// there, all on the pool's thread, the listings lent to it meanwhile.
void TImportWatch::StartLastLook() {
    lookAgain_ = false;
    listAgain_ = false;
    auto answer = std::make_shared<TAnswer>();
    answer->kind = TAnswer::Kind::LastLook;
    answer->listing = std::move(listing_);
    lent_ = true;
    auto look = [answer, folder = monitor_.Directory(), lister = Lister] {
        answer->look = LookAtFolder(folder, true, lister);
        TImportListing& listing = *answer->listing;
        if (answer->look.listed) {
            try {
                listing.Update(std::move(answer->look.files));
            } catch (const std::bad_alloc&) {
                // No room to compare: what was collected so far stands.
            }
        }
        if (answer->look.present)
            for (const TListedFile& file : listing.Collected())
                answer->stillThere += ListedFileExists(file);
    };
    RunAsLook(answer, look, true, true);
}

// The import lists the folder once more and sorts on the pool's thread, where `send` runs too.
void TImportWatch::StartImport(const TImportChecks& checks, const TSend& send,
                               const TImported& done) {
    auto answer = std::make_shared<TAnswer>();
    answer->kind = TAnswer::Kind::Import;
    const std::string folder = monitor_.Directory();
    answer->listing = Stop();
    imported_ = done;
    auto import = [answer, folder, lister = Lister, checks, send] {
        try {
            TImportListing& listing = *answer->listing;
            TFolderLook look = LookAtFolder(folder, true, lister);
            if (look.listed)
                listing.Update(std::move(look.files));
            listing.Finish();
            TImportChecks sorting = checks;
            sorting.exists = [&](const TListedFile& file) {
                return look.present && checks.exists(file);
            };
            {
                // The archiver libraries are this thread's while it sorts: the window's thread
                // finds them busy rather than waiting for a check.
                const TArchiverLibrariesHold libraries;
                answer->outcome = SortCollected(listing.Collected(), sorting);
            }
            if (!answer->outcome.archives.empty())
                answer->handOver = send(answer->outcome.archives);
            // Let go of here: a large folder's listings take a while to free.
            answer->listing.reset();
        } catch (...) {
            answer->error = std::current_exception();
        }
    };
    RunAsLook(answer, import, true, true);
}

void TImportWatch::Found(bool present) {
    away_ = !present;
    if (away_) {
        // When it answers again it may be another folder by the same name (a share reconnected,
        // a stick put back): it is watched anew.
        rearm_ = true;
    } else if (rearm_) {
        // Watched anew; the monitor then reports, and the folder is listed anew: what arrived
        // meanwhile is collected.
        rearm_ = false;
        monitor_.Reopen();
    }
}

void TImportWatch::Answered(WPARAM number) {
    if (number != looking_ || !answer_)
        return;
    std::shared_ptr<TAnswer> answer = std::move(answer_);
    looking_ = 0;
    const bool wasAway = away_;
    const std::size_t collected = collected_;
    const bool list = listAgain_;
    const bool again = lookAgain_ || listAgain_;
    lookAgain_ = false;
    listAgain_ = false;
    switch (answer->kind) {
    case TAnswer::Kind::Import: {
        const TImported done = std::exchange(imported_, nullptr);
        if (done)
            done(answer->outcome, answer->handOver, answer->error);
        return;
    }
    case TAnswer::Kind::LastLook:
        listing_ = std::move(answer->listing);
        lent_ = false;
        collected_ = listing_->Collected().size();
        Found(answer->look.present);
        break;
    case TAnswer::Kind::Look:
        if (!Running())
            return;
        Found(answer->look.present);
        if (!away_ && answer->look.listed) {
            try {
                listing_->Update(std::move(answer->look.files));
            } catch (const std::bad_alloc&) {
                // No room to compare: the last look stays, and the next one tries again.
            }
            collected_ = listing_->Collected().size();
        }
        break;
    }
    if ((away_ != wasAway || collected_ != collected) && OnStateChanged)
        OnStateChanged();
    // The end's next step goes before the looks asked for meanwhile, which follow it.
    if (afterLook_) {
        lookAgain_ = again;
        listAgain_ = list;
        std::exchange(afterLook_, nullptr)();
        return;
    }
    if (again)
        AskLook(list);
    if (answer->kind == TAnswer::Kind::LastLook)
        if (const auto answered = std::exchange(lastLookAnswered_, nullptr))
            answered(answer->stillThere);
}

} // namespace watch
