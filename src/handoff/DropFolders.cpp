// Drops' folders inside the work folder: made one for each drop, removed whole, and cleared
// away once old.
#include "handoff/DropFolders.h"

#include "handoff/CommandLines.h"
#include "handoff/WorkFolder.h"
#include "util/CodePagePath.h"
#include "util/ScopedWin.h"

#include <windows.h>

namespace {

// Removes the folder (extended-length form) and what it holds. A link to a folder (a junction,
// a symbolic link) is removed as the entry it is; what it leads to stays.
void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW entry{};
    if (win::ScopedFind find = win::FindFirst(folder + L"\\*", entry)) {
        do {
            if (win::IsDotEntry(entry.cFileName))
                continue;
            const std::wstring path = folder + L"\\" + entry.cFileName;
            const DWORD attributes = entry.dwFileAttributes;
            if (attributes & FILE_ATTRIBUTE_READONLY)
                SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
            if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileW(path.c_str());
            else if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
                RemoveDirectoryW(path.c_str());
            else
                RemoveTree(path);
        } while (FindNextFileW(find.get(), &entry));
    }
    RemoveDirectoryW(folder.c_str());
}

std::uint64_t Ticks(const FILETIME& time) {
    return std::uint64_t(time.dwHighDateTime) << 32 | time.dwLowDateTime;
}

} // namespace

std::string MakeDropFolder() {
    const std::string work = GetWorkFolder();
    std::uint32_t number = GetTickCount() ^ (GetCurrentProcessId() << 16);
    for (int tries = 0;; ++tries, ++number) {
        const std::string folder = work + "\\" + DropFolderName(number);
        if (CreateDirectoryA(folder.c_str(), nullptr))
            return folder;
        // Only a name in use is tried again; the work folder may also have gone, or be full.
        if (GetLastError() != ERROR_ALREADY_EXISTS || tries == 1000)
            throw ETempError(FormatText("作業フォルダが作成できません。フォルダ名 = %s", {folder}));
    }
}

void RemoveDropFolder(const std::string& folder) {
    win::ScopedErrorMode quiet;
    RemoveTree(ExtendedLengthPath(WideText(folder)));
}

void RemoveOldDropFolders() {
    const std::string work = WorkFolderPath();
    if (work.empty())
        return;
    const std::wstring folder = ExtendedLengthPath(WideText(work));
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    win::ScopedErrorMode quiet;
    WIN32_FIND_DATAW entry{};
    win::ScopedFind find = win::FindFirst(folder + L"\\DROP*", entry);
    if (!find)
        return;
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
            !IsDropFolderName(CodePageTextForDisplay(entry.cFileName)) ||
            !IsDropFolderExpired(Ticks(entry.ftCreationTime), Ticks(now)))
            continue;
        const std::wstring drop = folder + L"\\" + entry.cFileName;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
            RemoveDirectoryW(drop.c_str());
        else
            RemoveTree(drop);
    } while (FindNextFileW(find.get(), &entry));
}
