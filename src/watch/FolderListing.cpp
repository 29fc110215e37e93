// Listing a watched folder with the file search.
#include "watch/FolderListing.h"

#include "util/FileFind.h"
#include "util/FileProbe.h"
#include "util/ScopedWin.h"

#include <windows.h>

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

bool WatchedFolderPresent(const std::string& folder) {
    if (!FolderExists(folder))
        return false;
    win::ScopedErrorMode quiet;
    const win::ScopedHandle opened(CreateFileA(
        folder.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return static_cast<bool>(opened);
}

} // namespace watch
