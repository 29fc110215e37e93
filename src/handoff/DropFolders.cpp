// Drops' folders inside the work folder: made one for each drop, with a note of what the drop
// wrote, removed whole when nothing was handed over, and cleared away once old.
#include "handoff/DropFolders.h"

#include "handoff/CommandLines.h"
#include "handoff/WorkFolder.h"
#include "util/CodePagePath.h"
#include "util/ScopedWin.h"

#include <windows.h>

#include <algorithm>

namespace {

// The note of what a drop wrote: beside its folder, one path a line, in UTF-16.
std::wstring NoteOf(const std::wstring& folder) {
    return folder + L".lst";
}

// A noted path never leads out of the folder, whoever edited the note: no drive, no stream, no
// root, and no part that is empty (but a folder's last), "." or "..".
bool StaysInside(const std::wstring& path) {
    if (path.empty() || path.find(L':') != std::wstring::npos)
        return false;
    for (std::size_t start = 0, end; start < path.size(); start = end + 1) {
        end = std::min(path.find(L'\\', start), path.size());
        const std::wstring part = path.substr(start, end - start);
        if (part.empty() || part == L"." || part == L"..")
            return false;
    }
    return true;
}

std::vector<std::wstring> ReadNote(const std::wstring& note) {
    std::vector<std::wstring> made;
    win::ScopedHandle file(CreateFileW(note.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart > (64 << 20))
        return made;
    std::wstring text(static_cast<std::size_t>(size.QuadPart) / sizeof(wchar_t), L'\0');
    DWORD read = 0;
    if (!ReadFile(file.get(), text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &read,
                  nullptr))
        return made;
    text.resize(read / sizeof(wchar_t));
    for (std::size_t start = 0, end; start < text.size(); start = end + 1) {
        end = std::min(text.find(L'\n', start), text.size());
        std::wstring line = text.substr(start, end - start);
        if (StaysInside(line))
            made.push_back(std::move(line));
    }
    return made;
}

// Removes what the note names, files first, then the folders it made, innermost first, each
// only when empty; then the drop's folder when empty, and with it the note. What anybody else
// put there stays, and so does the note that keeps it from being taken for a drop never handed
// over.
void RemoveNoted(const std::wstring& folder, const std::wstring& note) {
    const std::vector<std::wstring> made = ReadNote(note);
    for (const std::wstring& entry : made)
        if (entry.back() != L'\\') {
            const std::wstring path = folder + L"\\" + entry;
            const DWORD attributes = GetFileAttributesW(path.c_str());
            if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
                SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
            DeleteFileW(path.c_str());
        }
    for (auto entry = made.rbegin(); entry != made.rend(); ++entry)
        if (entry->back() == L'\\')
            RemoveDirectoryW((folder + L"\\" + entry->substr(0, entry->size() - 1)).c_str());
    if (RemoveDirectoryW(folder.c_str()))
        DeleteFileW(note.c_str());
}

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
    const std::wstring path = ExtendedLengthPath(WideText(folder));
    RemoveTree(path);
    DeleteFileW(NoteOf(path).c_str());
}

bool RecordDropFolder(const std::string& folder, const std::vector<std::wstring>& made) {
    win::ScopedErrorMode quiet;
    const std::wstring note = NoteOf(ExtendedLengthPath(WideText(folder)));
    win::ScopedHandle file(CreateFileW(note.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    std::wstring text;
    for (const std::wstring& entry : made)
        text += entry + L"\n";
    DWORD written = 0;
    const DWORD size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (WriteFile(file.get(), text.data(), size, &written, nullptr) && written == size)
        return true;
    file.reset();
    DeleteFileW(note.c_str());
    return false;
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
        else if (GetFileAttributesW(NoteOf(drop).c_str()) != INVALID_FILE_ATTRIBUTES)
            RemoveNoted(drop, NoteOf(drop));
        else
            RemoveTree(drop);
    } while (FindNextFileW(find.get(), &entry));
}
