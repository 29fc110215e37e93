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
// for one. Names are joined to the folder with one separator. A last piece that runs to the
// end of the buffer without its NUL was cut short and names no chosen file: it is left out
// (and what stays before it is a folder and whole names).
std::vector<std::string> ChosenFiles(const char* buffer, std::size_t size);

// The result buffer's size that holds whatever the name box holds now: `folderSize` and
// `specSize` are the sizes of the folder shown and of the name box's text as the platform
// reports them, each with its NUL. Some platforms (Wine) count characters where bytes are
// asked for, and a character takes at most two bytes. The quotes and blanks around several
// names always take at least the room of the NULs and the separator that stand for them in
// the result.
std::size_t ResultBufferSize(std::size_t folderSize, std::size_t specSize);

// One row of the dialog in pixels: a label, the width its text takes on one line, and the field
// it names.
struct LabelRow {
    int labelLeft;
    int labelWidth;
    int textWidth;
    int fieldLeft;
    int fieldRight;
};
struct LabelFit {
    int labelWidth;
    int fieldLeft;
};

// Lays the rows out so that each label shows its whole text on one line, `gap` before its
// field. Rows whose fields start together keep starting together, moved right as far as their
// longest label needs; a field keeps its right edge (its left edge never crosses it). A label
// narrower than its text grows to it; one that reaches into the gap before its field is cut
// back to the gap, never below its text.
std::vector<LabelFit> FitLabelRows(const std::vector<LabelRow>& rows, int gap);

// The filter "caption|patterns|..." as the platform takes it: every "|" (never a trail byte) a
// NUL, and two NULs at the end. Empty for an empty filter.
std::string FilterBuffer(const std::string& filter);
