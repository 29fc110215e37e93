// A running automatic import's watch: the folder's monitor armed on it and the listings kept.
// It starts in one step that either succeeds whole or leaves everything as it was.
#pragma once

#include "watch/DiscMonitor.h"
#include "watch/ImportListing.h"

#include <cstddef>
#include <memory>
#include <string>

namespace watch {

class TImportWatch {
  public:
    // The monitor's Tag is the import's mark: 1 while an import runs.
    explicit TImportWatch(TDiscMonitor& monitor) : monitor_(monitor) {}
    TImportWatch(const TImportWatch&) = delete;
    TImportWatch& operator=(const TImportWatch&) = delete;

    // An import is running: the mark is 1 and the listings exist.
    bool Running() const { return monitor_.Tag() == 1 && listing_ != nullptr; }

    // Arms the monitor on `folder`, then takes the folder's first listing, so that every file
    // that appears from then on is collected, and sets the mark. A monitor that cannot start
    // raises its error and leaves the watch idle: the mark 0, the monitor inactive on the folder
    // it had, no listings.
    void Start(const std::string& folder);

    // A change was reported: the folder is listed again and new files are collected. A folder
    // that cannot be entered just now (a network folder that does not answer) is not listed:
    // its files stay the last look, rather than all counting as new when it answers again.
    // The number of files collected.
    std::size_t Update();

    std::size_t CollectedCount() const { return listing_ ? listing_->Collected().size() : 0; }

    // Ends the watch: the mark 0, the monitor let go of the folder and inactive. The listings,
    // for the import; none when no import was running.
    std::unique_ptr<TImportListing> Stop();

  private:
    TDiscMonitor& monitor_;
    std::unique_ptr<TImportListing> listing_;
};

} // namespace watch
