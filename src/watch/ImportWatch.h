// A running automatic import's watch: the folder's monitor armed on it and the listings kept.
// It starts in one step that either succeeds whole or leaves everything as it was, and it never
// ends by itself: a folder that goes away (a network share that drops, a stick pulled out, a
// computer asleep) is waited for, and watched and listed anew when it answers again.
#pragma once

#include "watch/DiscMonitor.h"
#include "watch/FolderListing.h"
#include "watch/GuiHandOff.h"
#include "watch/ImportListing.h"
#include "watch/ImportReport.h"

#include <cstddef>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace watch {

// Lives on the GUI thread. Every look at the folder after the start (whether it is there, its
// listing, which collected files are still there) is taken on a thread of the system's pool and
// its answer handled here, so that a slow or unreachable folder never holds up the window.
class TImportWatch {
  public:
    // The monitor's Tag is the import's mark: 1 while an import runs.
    explicit TImportWatch(TDiscMonitor& monitor) : monitor_(monitor) {}
    TImportWatch(const TImportWatch&) = delete;
    TImportWatch& operator=(const TImportWatch&) = delete;

    // An import is running: the mark is 1 and the listings exist.
    bool Running() const { return monitor_.Tag() == 1 && (listing_ != nullptr || lent_); }

    // Arms the monitor on `folder`, then takes the folder's first listing, so that every file
    // that appears from then on is collected, and sets the mark. A monitor that cannot start,
    // a first listing that fails, or a window for the looks' answers that cannot be made
    // raises its error and leaves the watch idle: the mark 0, the monitor inactive on the
    // folder it had, no listings.
    void Start(const std::string& folder);

    // The monitor saw a change: the folder is listed again and new files are collected.
    void Changed();
    // The monitor could not keep its watch: it is armed again once the folder is there.
    void Invalid();
    // A look whether the folder is still there (the program's refresh tick): one that went away
    // may give no report at all. While the monitor is not armed, the look lists the folder too,
    // so that the count stays true.
    void Look();
    // The computer woke from sleep: a watch kept over it may no longer report, so the folder
    // is watched and listed anew once it is there.
    void Resumed();

    // The folder did not answer at the last look: nothing is counted until it does.
    bool Away() const { return away_; }
    // A look at the folder is under way.
    bool Looking() const { return looking_ != 0; }

    std::size_t CollectedCount() const { return collected_; }

    // The end of a watch, first step. Some folders never report a change (on some network
    // servers the platform's notifications do not come), so once the look under way has
    // answered, one last look lists the folder and collects what arrived, and counts the
    // collected files still there; `answered` then runs here with that count (0 while the folder
    // is away). Looks asked for meanwhile follow it. False when no import runs or an end is
    // already under way.
    bool LastLook(std::function<void(std::size_t stillThere)> answered);

    // Second step: once the look under way has answered, the watch ends as Stop does, and aside
    // what the folder gained since the start is collected (TImportListing::Finish), the collected
    // files are sorted by `checks` (all of them gone when the folder is away), and `send` gets
    // the archives when there are some. `done` then runs here with the outcome and how `send`
    // handed them over (Done when there were none), or with the error that stopped it. False
    // when no import runs.
    using TSend = std::function<TImportHandOver(const std::vector<std::string>& archives)>;
    using TImported = std::function<void(const TImportOutcome& outcome, TImportHandOver handOver,
                                         std::exception_ptr error)>;
    bool Import(TImportChecks checks, TSend send, TImported done);

    // Ends the watch: the mark 0, the monitor let go of the folder and inactive. The listings,
    // for the import; none, and the monitor left alone, when no import was running or a look
    // holds them.
    std::unique_ptr<TImportListing> Stop();

    // Runs after a look changed the number collected or whether the folder is away.
    std::function<void()> OnStateChanged;

    // Lists the folder (ListFolderFiles); a test replaces it to make a listing fail.
    TFolderLister Lister = ListFolderFiles;

  private:
    struct TAnswer;
    // Asks for a look, or for one more after the look under way; with `list` the look lists.
    void AskLook(bool list);
    // Runs `work` aside as the next look, which fills `answer`; false when no thread can take
    // it, unless `hereWithoutThread`: it is then taken here, and answers all the same.
    bool RunAsLook(std::shared_ptr<TAnswer> answer, std::function<void()> work, bool lengthy,
                   bool hereWithoutThread);
    void Answered(WPARAM number);
    // What a look found of the folder: away, or there (and watched anew when it has to be).
    void Found(bool present);
    void StartLastLook();
    void StartImport(const TImportChecks& checks, const TSend& send, const TImported& done);

    TDiscMonitor& monitor_;
    std::unique_ptr<TImportListing> listing_;
    // The listings are with the last look, on the pool's thread.
    bool lent_ = false;
    std::size_t collected_ = 0;
    bool away_ = false;
    // The monitor is to be armed again the next time the folder is found.
    bool rearm_ = false;
    // The look under way (its number, 0 for none), and what the next look is to do.
    WPARAM looking_ = 0;
    WPARAM lastLook_ = 0;
    bool lookAgain_ = false;
    bool listAgain_ = false;
    // The answer of the look under way, filled on the pool's thread before it tells the window.
    std::shared_ptr<TAnswer> answer_;
    // The end's next step, taken once the look under way has answered.
    std::function<void()> afterLook_;
    std::function<void(std::size_t)> lastLookAnswered_;
    TImported imported_;
    // Made at the first start: a resident program that never watches keeps no window for it.
    std::unique_ptr<TGuiHandOff> answers_;
};

} // namespace watch
