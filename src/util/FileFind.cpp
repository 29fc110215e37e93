// File search by full paths: the process's current folder is left where it is, so a searched
// folder is never held open by the program afterwards and can be renamed or deleted. Entries
// are read with the wide calls, so that a name the code page cannot write is not lost.
#include "util/FileFind.h"

#include "util/BrkApart.h"
#include "util/CodePagePath.h"
#include "util/PathText.h"
#include "util/ScopedWin.h"

#include <cwchar>
#include <memory>
#include <new>

namespace {

// Search masks: every entry, files only (read-only, hidden, system, archive), folders.
constexpr DWORD kAllEntries = 63;
constexpr DWORD kFilesOnly = 39;
constexpr DWORD kFolders = FILE_ATTRIBUTE_DIRECTORY;
constexpr DWORD kVolumeLabel = 0x08;

// The masks keep their long-standing meaning: ordinary files always pass; hidden, system,
// volume-label and folder entries pass only when their bit is in the mask.
bool PassesMask(DWORD attributes, DWORD mask) {
    const DWORD special =
        FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | kVolumeLabel | FILE_ATTRIBUTE_DIRECTORY;
    return (attributes & special & ~mask) == 0;
}

// `name` in the code page; false when some character of it has no code of its own there (a
// look-alike names another file or none). `shown` is the name with '?' for those characters.
bool InCodePage(std::wstring_view name, std::string& shown) {
    if (std::optional<std::string> exact = ExactCodePageText(name)) {
        shown = std::move(*exact);
        return true;
    }
    shown = CodePageTextForDisplay(name);
    return false;
}

// The last part of the short form of `path` in the code page; false when there is none (the
// volume keeps no short names, or the short name is no better).
bool ShortNameInCodePage(const std::wstring& path, std::string& name) {
    const std::optional<std::wstring> shortPath = ShortPathForm(path);
    if (!shortPath)
        return false;
    const std::size_t separator = shortPath->find_last_of(L'\\');
    return InCodePage(
        std::wstring_view(*shortPath).substr(separator == std::wstring::npos ? 0 : separator + 1),
        name);
}

// The entry as the per-file notification is given it, under the name the search gives it.
WIN32_FIND_DATAA NarrowEntry(const WIN32_FIND_DATAW& wide, const std::string& name) {
    WIN32_FIND_DATAA entry{};
    entry.dwFileAttributes = wide.dwFileAttributes;
    entry.ftCreationTime = wide.ftCreationTime;
    entry.ftLastAccessTime = wide.ftLastAccessTime;
    entry.ftLastWriteTime = wide.ftLastWriteTime;
    entry.nFileSizeHigh = wide.nFileSizeHigh;
    entry.nFileSizeLow = wide.nFileSizeLow;
    lstrcpynA(entry.cFileName, name.c_str(), MAX_PATH);
    return entry;
}

// The platform's text for an error code, without the line end and final period.
std::string SystemMessage(DWORD code) {
    char* buffer = nullptr;
    DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                      FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, code, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text(buffer ? buffer : "", buffer ? length : 0);
    LocalFree(buffer);
    // Spaces, line ends and '.' are below 0x40, so none of them is a trail byte.
    while (!text.empty() && (static_cast<unsigned char>(text.back()) <= ' ' || text.back() == '.'))
        text.pop_back();
    // A code the platform has no text for is shown by its number rather than as nothing.
    return text.empty() ? std::to_string(code) : text;
}

[[noreturn]] void RaiseSearchError(DWORD code) {
    throw ESearchError(SystemMessage(code));
}

// The full path of a start folder that can be entered; raises the platform's message for one
// that is missing, is a file, or cannot be listed. A relative folder is taken from the current
// folder.
std::string EnterableFolder(const std::string& folder) {
    char buffer[MAX_PATH];
    char* namePart = nullptr;
    DWORD length = GetFullPathNameA(folder.c_str(), sizeof buffer, buffer, &namePart);
    if (length == 0)
        RaiseSearchError(GetLastError());
    if (length >= sizeof buffer)
        RaiseSearchError(ERROR_FILENAME_EXCED_RANGE);
    std::string full(buffer, length);
    DWORD attributes = GetFileAttributesA(full.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        RaiseSearchError(GetLastError());
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
        RaiseSearchError(ERROR_DIRECTORY);
    // Opened for listing as the search will open it, without reading a single entry: a folder
    // of many thousands of files is read once, by the search itself.
    const win::ScopedHandle listing(CreateFileA(
        full.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!listing)
        RaiseSearchError(GetLastError());
    return full;
}

// "C:\" and "\" are roots and keep their separator; any other folder loses a trailing one.
std::string StoredFolder(std::string_view folder) {
    bool driveRoot =
        folder.size() == 3 && folder[1] == ':' && (folder[2] == '\\') &&
        ((folder[0] >= 'A' && folder[0] <= 'Z') || (folder[0] >= 'a' && folder[0] <= 'z'));
    if (driveRoot || folder == "\\")
        return std::string(folder);
    return RemoveTrailingSeparator(folder);
}

std::vector<std::string> SplitList(std::string_view text) {
    TBrkApart parts;
    parts.SetBreakString(";");
    parts.SetBaseString(text);
    return parts.StringList();
}

std::string JoinList(const std::vector<std::string>& list) {
    TBrkApart parts;
    parts.SetBreakString(";");
    parts.StringList() = list;
    return parts.BaseString();
}

} // namespace

std::string TFileFind::StartDir() const {
    return JoinList(startDirs_);
}

void TFileFind::SetStartDir(std::string_view folders) {
    startDirs_.clear();
    for (const std::string& folder : SplitList(folders))
        startDirs_.push_back(StoredFolder(folder));
}

void TFileFind::SetSingleStartDir(std::string_view folder) {
    startDirs_.assign(1, StoredFolder(folder));
}

std::string TFileFind::FilePattern() const {
    return JoinList(patterns_);
}

void TFileFind::SetFilePattern(std::string_view patterns) {
    patterns_ = SplitList(patterns);
}

void TFileFind::Execute() {
    filesFound_.clear();
    otherNames_.clear();
    aborted_ = false;
    match_.SetCaseSensitive(matchCaseSensitive_);
    match_.SetPattern(matchString_);
    win::ScopedErrorMode quiet;
    for (const std::string& startDir : startDirs_) {
        const std::string folder = EnterableFolder(startDir);
        const std::string base = AddTrailingSeparator(folder);
        const TSearched searched{base, WideText(base), true};
        for (const std::string& pattern : patterns_) {
            SearchFolder(searched, WideText(pattern));
            if (aborted_)
                return;
        }
    }
}

// The folder's entries that match the pattern, then, when recursive, the same search in each
// subfolder. A subfolder that cannot be listed adds nothing; the rest of the search goes on.
void TFileFind::SearchFolder(const TSearched& folder, const std::wstring& pattern) {
    WIN32_FIND_DATAW entry;
    if (win::ScopedFind find = win::FindFirst(folder.widePath + pattern, entry)) {
        do {
            if (win::IsDotEntry(entry.cFileName) ||
                !PassesMask(entry.dwFileAttributes, addDir_ ? kAllEntries : kFilesOnly))
                continue;
            Consider(folder, entry);
            if (aborted_)
                return;
        } while (FindNextFileW(find.get(), &entry));
    }
    if (!recursive_)
        return;
    if (win::ScopedFind find = win::FindFirst(folder.widePath + L"*.*", entry)) {
        do {
            if (win::IsDotEntry(entry.cFileName) ||
                !(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
                !PassesMask(entry.dwFileAttributes, kFolders))
                continue;
            const std::wstring widePath = folder.widePath + entry.cFileName;
            std::string name;
            const bool opens =
                InCodePage(entry.cFileName, name) || ShortNameInCodePage(widePath, name);
            SearchFolder(
                TSearched{folder.path + name + '\\', widePath + L'\\', folder.opens && opens},
                pattern);
            if (aborted_)
                return;
        } while (FindNextFileW(find.get(), &entry));
    }
}

void TFileFind::Consider(const TSearched& folder, const WIN32_FIND_DATAW& entry) {
    std::string name;
    std::wstring ownName;
    bool opens = folder.opens;
    if (!InCodePage(entry.cFileName, name)) {
        ownName = entry.cFileName;
        std::string shortName;
        if (ShortNameInCodePage(folder.widePath + ownName, shortName))
            name = shortName;
        else
            opens = false;
    }
    std::string path = folder.path + name;
    // The file is read directly rather than through Source, whose ";" list would split a name
    // that contains ';'. A file without a name to read it by has no matching line.
    if (matchEnabled_ && !matchString_.empty() && (!opens || !match_.MatchesFile(path)))
        return;
    bool abort = false;
    if (OnFileFound)
        OnFileFound(*this, path, NarrowEntry(entry, name), abort);
    if (abort) {
        aborted_ = true;
        return;
    }
    try {
        if (!opens || !ownName.empty())
            otherNames_.push_back({filesFound_.size(), std::move(ownName), opens});
        filesFound_.push_back(std::move(path));
    } catch (const std::bad_alloc&) {
        throw ESearchError("Trop de fichiers.");
    }
}
