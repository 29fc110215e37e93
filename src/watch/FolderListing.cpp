// Listing a watched folder with the file search.
#include "watch/FolderListing.h"

#include "util/FileFind.h"

namespace watch {

std::vector<std::string> ListFolderFiles(const std::string& folder) {
    TFileFind find;
    // A folder may be named "a;b": it is one start folder, not two.
    find.SetSingleStartDir(folder);
    find.SetFilePattern("*");
    find.SetRecursive(false);
    find.SetAddDir(false);
    find.SetMatchEnabled(false);
    find.SetMatchCaseSensitive(false);
    try {
        find.Execute();
    } catch (const ESearchError&) {
        // What was found before the error counts.
    }
    return find.TakeFilesFound();
}

} // namespace watch
