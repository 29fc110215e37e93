// The files directly in a watched folder, as the automatic import lists them.
#pragma once

#include <string>
#include <vector>

namespace watch {

// Full paths of the folder's files (no folders, no subfolders' files) in the order the file
// system gives them. A search error ends the listing quietly with what was found so far; a
// folder that cannot be entered gives an empty listing.
std::vector<std::string> ListFolderFiles(const std::string& folder);

} // namespace watch
