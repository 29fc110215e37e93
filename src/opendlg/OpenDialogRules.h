// Rules of the archive open dialog that need no platform call: its folder history, the folder
// it shows as the history keeps it, how many stored entries are read, and the chosen files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// Negative, 0 or positive; 0 when the two name the same folder ignoring case.
using FolderCompare = std::function<int(const std::string&, const std::string&)>;

// The trailing separators removed: "C:\Data\" and "C:\" are kept as "C:\Data" and "C:" (a
// doubled one, "C:\Data\\", names the same folder and is kept alike).
std::string FolderHistoryEntry(const std::string& path);

// Puts `path` (as FolderHistoryEntry keeps it) into the history: every entry naming the same
// folder (compared as FolderHistoryEntry keeps both) goes first, then the oldest ones while
// `maxCount` or more remain, then it is inserted at the top or appended at the end.
void AddToFolderHistory(std::vector<std::string>& history, const std::string& path, bool atTop,
                        int maxCount, const FolderCompare& compare);

// The history holds the folder (compared as FolderHistoryEntry keeps both).
bool IsInFolderHistory(const std::vector<std::string>& history, const std::string& folder,
                       const FolderCompare& compare);

// The folder the dialog shows, as it is saved and looked up: trailing separators removed, and
// "\" again when only a drive ("C:") remains.
std::string ShownFolderText(const std::string& folder);

// How many numbered entries to read from a key holding `valueCount` values: a stored count that
// is there, not negative and not larger than that; none when it is missing, of the wrong type
// or absurd, and the caller then reads the entries that are there.
std::optional<int> TrustedCount(std::optional<int> count, std::uint32_t valueCount);

// How many entries from 0 on are there, one after another (at most `limit`).
int PresentRun(std::uint32_t limit, const std::function<bool(int index)>& present);

// The files of the dialog's result buffer: "folder\0name\0name\0\0" for several, "path\0\0"
// for one. Names are joined to the folder with one separator.
std::vector<std::string> ChosenFiles(const char* buffer, std::size_t size);

// The filter "caption|patterns|..." as the platform takes it: every "|" (never a trail byte) a
// NUL, and two NULs at the end. Empty for an empty filter.
std::string FilterBuffer(const std::string& filter);
