// The automatic import's watch: arming the monitor, the folder's listings, letting go.
#include "watch/ImportWatch.h"

#include "watch/FolderListing.h"

namespace watch {

void TImportWatch::Start(const std::string& folder) {
    const std::string previous = monitor_.Directory();
    monitor_.SetTag(0);
    monitor_.SetDirectory(folder);
    try {
        monitor_.SetActive(true);
    } catch (...) {
        monitor_.SetDirectory(previous);
        throw;
    }
    listing_ = std::make_unique<TImportListing>(ListFolderFiles(folder));
    monitor_.SetTag(1);
}

std::size_t TImportWatch::Update() {
    if (listing_ && WatchedFolderPresent(monitor_.Directory()))
        listing_->Update(ListFolderFiles(monitor_.Directory()));
    return CollectedCount();
}

std::unique_ptr<TImportListing> TImportWatch::Stop() {
    monitor_.SetTag(0);
    // The empty folder first: the worker lets go of the folder it watched (a deleted folder is
    // gone only then); the report that the empty name cannot be watched is dropped, as the
    // monitor is inactive when it arrives.
    monitor_.SetDirectory("");
    monitor_.SetActive(false);
    return std::move(listing_);
}

} // namespace watch
