// Listing a watched folder with the file search, and looking at it off the window's thread.
#include "watch/FolderListing.h"

#include "archive/ArchiveRecognizer.h"
#include "archive/ArchiveRules.h"
#include "util/CodePagePath.h"
#include "util/Errors.h"
#include "util/FileFind.h"
#include "util/FileProbe.h"
#include "util/Mbcs.h"
#include "util/ScopedWin.h"

#include <memory>

namespace watch {

namespace {

DWORD WINAPI RunWork(void* parameter) {
    std::unique_ptr<std::function<void()>> work(static_cast<std::function<void()>*>(parameter));
    try {
        (*work)();
    } catch (...) {
        // Nothing may unwind into the pool.
    }
    return 0;
}

} // namespace

std::vector<TListedFile> ListFolderFiles(const std::string& folder) {
    TFileFind find;
    // A folder may be named "a;b": it is one start folder, not two.
    find.SetSingleStartDir(folder);
    find.SetFilePattern("*");
    find.SetRecursive(false);
    find.SetAddDir(false);
    find.SetMatchEnabled(false);
    find.SetMatchCaseSensitive(false);
    find.Execute();
    std::vector<std::string> paths = find.TakeFilesFound();
    std::vector<TListedFile> files(std::make_move_iterator(paths.begin()),
                                   std::make_move_iterator(paths.end()));
    for (TFileFind::TOtherName& other : find.TakeOtherNames()) {
        TListedFile& file = files[other.index];
        file.ownName.assign(other.ownName.begin(), other.ownName.end());
        file.opens = other.opens;
    }
    return files;
}

bool WatchedFolderPresent(const std::string& folder) {
    if (!FolderExists(folder))
        return false;
    win::ScopedErrorMode quiet;
    const win::ScopedHandle opened(
        CreateFileA(folder.c_str(), FILE_READ_ATTRIBUTES,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return static_cast<bool>(opened);
}

bool ListedFileExists(const TListedFile& file) {
    if (file.opens)
        return FileExistsQuiet(file.path);
    // The folder's part of the path is written by the code page; the name is the file's own.
    const std::size_t separator = mbcs::LastDelimiter(file.path, "\\");
    if (file.ownName.empty() || separator == std::string::npos)
        return false;
    std::wstring path = WideText(std::string_view(file.path).substr(0, separator + 1));
    path.append(file.ownName.begin(), file.ownName.end());
    win::ScopedErrorMode quiet;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TImportChecks ImportChecks() {
    TImportChecks checks;
    checks.exists = ListedFileExists;
    checks.isArchive = [](const std::string& path) {
        if (IsEmptyFile(path))
            return IsArchiveByExtension(path);
        try {
            return GetArchiveKind(path) != ArchiveKind::None;
        } catch (const EFOpenError&) {
            // The rest of the import goes on.
            return false;
        }
    };
    checks.namedAsArchive = [](const std::string& path) { return IsArchiveByExtension(path); };
    return checks;
}

TFolderLook LookAtFolder(const std::string& folder, bool list, TFolderLister lister) {
    TFolderLook look;
    try {
        look.present = WatchedFolderPresent(folder);
        if (look.present && list) {
            look.files = lister(folder);
            look.listed = true;
        }
    } catch (const std::exception&) {
        // A folder that went away while it was listed, or no memory for its listing: it is not
        // there for this look.
        look = TFolderLook();
    }
    return look;
}

bool RunAside(std::function<void()> work, bool lengthy) {
    auto held = std::make_unique<std::function<void()>>(std::move(work));
    if (!QueueUserWorkItem(RunWork, held.get(),
                           lengthy ? WT_EXECUTELONGFUNCTION : WT_EXECUTEDEFAULT))
        return false;
    held.release(); // the pool's thread owns it now
    return true;
}

} // namespace watch
