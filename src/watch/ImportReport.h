// What ending an automatic import tells the user: which collected files are still there,
// which of them are handed over, and which cannot be, with the report's text.
#pragma once

#include "watch/ImportListing.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace watch {

struct TImportOutcome {
    // The collected files that are still there.
    std::size_t count = 0;
    // Paths of the archives among them, in the order collected: handed to the companion.
    std::vector<std::string> archives;
    // Archives, by their names, that are no longer there (the folder may be away).
    std::vector<std::string> gone;
    // Files still there whose names the companion cannot be given.
    std::vector<std::string> unnamed;
};

struct TImportChecks {
    // The file is still there.
    std::function<bool(const TListedFile&)> exists;
    // The file at this path, which is there, is an archive.
    std::function<bool(const std::string& path)> isArchive;
    // The name is one of an archive (for a file that can no longer be read).
    std::function<bool(const std::string& path)> namedAsArchive;
};

// Sorts the collected files as the end of a watch finds them.
TImportOutcome SortCollected(const std::vector<TListedFile>& collected,
                             const TImportChecks& checks);

// How the archives found went to the companion.
enum class TImportHandOver {
    Done,
    // The list for the companion could not be written in the temporary folder.
    ListNotWritten,
    // The companion could not be started.
    CompanionNotStarted,
};

// The report: what was handed over (or why it could not be, and what to check) or why nothing
// was, then the archives that are gone and the files that cannot be named. `formatCount` writes
// a count.
std::string ImportReportText(const TImportOutcome& outcome, TImportHandOver handOver,
                             const std::function<std::string(long long)>& formatCount);

} // namespace watch
