// The files directly in a watched folder, as the automatic import lists them.
#pragma once

#include <windows.h>

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

// Asks WatchedFolderPresent on a thread of the system's pool and posts the answer to `window`
// as `message`, with `tag` as its wParam and the answer (1 or 0) as its lParam: a slow or
// unreachable network folder never holds up the window's thread. False when the question could
// not be asked.
bool PostFolderPresence(HWND window, UINT message, WPARAM tag, const std::string& folder);

} // namespace watch
