// The files directly in a watched folder, as the automatic import lists them, and looks at the
// folder that keep a slow or unreachable folder off the window's thread.
#pragma once

#include "watch/ImportListing.h"
#include "watch/ImportReport.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace watch {

// The folder's files (no folders, no subfolders' files) in the order the file system gives
// them; a name the code page cannot write by its short form, or, without one, as a file that
// cannot be opened (see TListedFile). Raises ESearchError when the folder cannot be entered; a
// search that breaks off midway keeps what it found.
std::vector<TListedFile> ListFolderFiles(const std::string& folder);

// The folder is there to be watched: it exists and can be opened. A folder deleted while a
// handle to it is still open (the watch's own, say) is still found by its name until the last
// handle goes, but it can no longer be opened.
bool WatchedFolderPresent(const std::string& folder);

// The listed file is still there (looked up by its own name when its path cannot open it).
bool ListedFileExists(const TListedFile& file);

// How the end of an import sorts its collected files, off the window's thread: a file still
// there by ListedFileExists; an archive when it is empty (which no library can check) by its
// extension, otherwise by the library of its family (an ".exe" that cannot be read for the
// self-extractor check is none); a name of an archive by its extension.
TImportChecks ImportChecks();

// What a look at the watched folder found.
struct TFolderLook {
    bool present = false;
    // The folder was listed: `files` is its listing.
    bool listed = false;
    std::vector<TListedFile> files;
};

using TFolderLister = std::vector<TListedFile> (*)(const std::string& folder);

// Looks at `folder` here: whether it is there and, when `list`, its files by `lister` (a listing
// that fails counts as the folder not being there).
TFolderLook LookAtFolder(const std::string& folder, bool list, TFolderLister lister);

// Runs `work` on a thread of the system's pool (`lengthy`: it may take a while, and the pool may
// add a thread meanwhile). Nothing may leave it. False when it could not be started.
bool RunAside(std::function<void()> work, bool lengthy);

} // namespace watch
