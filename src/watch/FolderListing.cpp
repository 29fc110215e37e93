// Listing a watched folder with the file search.
#include "watch/FolderListing.h"

#include "util/FileFind.h"
#include "util/FileProbe.h"
#include "util/ScopedWin.h"

#include <memory>

namespace watch {

namespace {

struct PresenceQuestion {
    HWND window;
    UINT message;
    WPARAM tag;
    std::string folder;
};

DWORD WINAPI AnswerPresence(void* parameter) {
    std::unique_ptr<PresenceQuestion> question(static_cast<PresenceQuestion*>(parameter));
    const bool present = WatchedFolderPresent(question->folder);
    PostMessageA(question->window, question->message, question->tag, present ? 1 : 0);
    return 0;
}

} // namespace

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
    const win::ScopedHandle opened(
        CreateFileA(folder.c_str(), FILE_READ_ATTRIBUTES,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return static_cast<bool>(opened);
}

bool PostFolderPresence(HWND window, UINT message, WPARAM tag, const std::string& folder) {
    auto question =
        std::make_unique<PresenceQuestion>(PresenceQuestion{window, message, tag, folder});
    if (!QueueUserWorkItem(AnswerPresence, question.get(), WT_EXECUTEDEFAULT))
        return false;
    question.release(); // the pool's thread owns it now
    return true;
}

} // namespace watch
