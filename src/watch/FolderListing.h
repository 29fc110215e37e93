// The files directly in a watched folder, as the automatic import lists them.
#pragma once

#include <string>
#include <vector>

namespace watch {

// Full paths of the folder's files (no folders, no subfolders' files) in the order the file
// system gives them. A search error ends the listing quietly with what was found so far; a
// folder that cannot be entered gives an empty listing.
std::vector<std::string> ListFolderFiles(const std::string& folder);

// The folder is there to be watched: it exists and can be opened. A folder deleted while a
// handle to it is still open (the watch's own, say) is still found by its name until the last
// handle goes, but it can no longer be opened.
bool WatchedFolderPresent(const std::string& folder);

} // namespace watch
