// Rules of the archive open dialog that need no platform call.
#include "opendlg/OpenDialogRules.h"

#include <algorithm>

#include "util/Mbcs.h"
#include "util/PathText.h"

std::string FolderHistoryEntry(const std::string& path) {
    // Every trailing separator goes: "D:\Data\\" names "D:\Data" too.
    std::string entry = path;
    while (EndsWithChar(entry, '\\') || EndsWithChar(entry, '/'))
        entry.pop_back();
    return entry;
}

namespace {
// The history entry names the folder kept as `entry` (entries read back from the registry may
// keep a trailing separator).
bool NamesFolder(const std::string& item, const std::string& entry, const FolderCompare& compare) {
    return compare(FolderHistoryEntry(item), entry) == 0;
}
} // namespace

void AddToFolderHistory(std::vector<std::string>& history, const std::string& path, bool atTop,
                        int maxCount, const FolderCompare& compare) {
    std::string entry = FolderHistoryEntry(path);
    // Entries read back from the registry may name the folder more than once.
    std::erase_if(history,
                  [&](const std::string& item) { return NamesFolder(item, entry, compare); });
    while (!history.empty() && static_cast<int>(history.size()) >= maxCount)
        history.pop_back();
    if (atTop)
        history.insert(history.begin(), std::move(entry));
    else
        history.push_back(std::move(entry));
}

bool IsInFolderHistory(const std::vector<std::string>& history, const std::string& folder,
                       const FolderCompare& compare) {
    // "C:\" as the dialog shows it is stored as "C:".
    std::string entry = FolderHistoryEntry(folder);
    return std::any_of(history.begin(), history.end(),
                       [&](const std::string& item) { return NamesFolder(item, entry, compare); });
}

std::string ShownFolderText(const std::string& folder) {
    std::string text = FolderHistoryEntry(folder);
    // Only a drive gets its separator back, not any other two bytes ("表" is 95 5C).
    if (text.size() == 2 && EndsWithChar(text, ':'))
        text += '\\';
    return text;
}

std::optional<int> TrustedCount(std::optional<int> count, std::uint32_t valueCount) {
    if (!count || *count < 0 || static_cast<std::uint32_t>(*count) > valueCount)
        return std::nullopt;
    return count;
}

int PresentRun(std::uint32_t limit, const std::function<bool(int index)>& present) {
    int n = 0;
    while (static_cast<std::uint32_t>(n) < limit && present(n))
        ++n;
    return n;
}

std::vector<std::string> ChosenFiles(const char* buffer, std::size_t size) {
    std::vector<std::string> parts;
    bool cut = false;
    std::size_t i = 0;
    while (i < size && buffer[i] != '\0') {
        std::size_t end = i;
        while (end < size && buffer[end] != '\0')
            ++end;
        if (end == size) {
            cut = true;
            break;
        }
        parts.emplace_back(buffer + i, end - i);
        i = end + 1;
    }
    // A cut buffer held several names: its first whole piece is their folder.
    if (parts.size() <= 1 && !cut)
        return parts;
    std::vector<std::string> files;
    if (parts.empty())
        return files;
    std::string folder = AddTrailingSeparator(parts.front());
    for (std::size_t k = 1; k < parts.size(); ++k)
        files.push_back(folder + parts[k]);
    return files;
}

std::string FilterBuffer(const std::string& filter) {
    if (filter.empty())
        return {};
    std::string buffer;
    for (std::size_t i = 0; i < filter.size();) {
        std::size_t next = mbcs::NextChar(filter, i);
        if (next == i + 1 && filter[i] == '|')
            buffer += '\0';
        else
            buffer.append(filter, i, next - i);
        i = next;
    }
    buffer.append(2, '\0');
    return buffer;
}

std::size_t ResultBufferSize(std::size_t folderSize, std::size_t specSize) {
    // The folder, a separator or a NUL, the names each ended by a NUL, and the last NUL.
    return 2 * (folderSize + specSize) + 1;
}

std::vector<LabelFit> FitLabelRows(const std::vector<LabelRow>& rows, int gap) {
    std::vector<LabelFit> fits;
    fits.reserve(rows.size());
    for (const LabelRow& row : rows) {
        // Where the fields of this row's group start: right of every label of the group.
        int column = row.fieldLeft;
        for (const LabelRow& other : rows)
            if (other.fieldLeft == row.fieldLeft)
                column = std::max(column, other.labelLeft + other.textWidth + gap);
        int fieldLeft = std::max(row.fieldLeft, std::min(column, row.fieldRight));
        int labelWidth = std::max(row.labelWidth, row.textWidth);
        if (row.labelLeft + labelWidth > fieldLeft - gap)
            labelWidth = std::max(row.textWidth, fieldLeft - gap - row.labelLeft);
        fits.push_back({labelWidth, fieldLeft});
    }
    return fits;
}
