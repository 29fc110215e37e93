// Fuzz target: what the archive open dialog reads from outside. The input is a flag byte (bit 0:
// add at the top, bit 1: no stored count, bits 4-7: the history's most entries less 2), the
// stored count (4 bytes, little-endian), how many values its key holds (1 byte), then the rest:
// the dialog's result buffer as the platform fills it (or cuts it), and, split at its NULs, a
// folder to add followed by the history's entries as the registry keeps them; the rest is also a
// filter.
#include "opendlg/OpenDialogRules.h"
#include "Cp932Text.h"
#include "FuzzCheck.h"
#include "FuzzInput.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace {

bool EndsWithSeparator(std::string_view s) {
    return EndsWithCharacter(s, '\\') || EndsWithCharacter(s, '/');
}

// The folder as the history keeps it: without the separators it ends in.
std::string Entry(std::string_view s) {
    std::vector<std::string_view> chars = Characters(s);
    while (!chars.empty() && (chars.back() == "\\" || chars.back() == "/")) {
        chars.pop_back();
        s.remove_suffix(1);
    }
    return std::string(s);
}

// The same folder as the history tells them: trailing separators and case aside.
bool SameFolder(std::string_view a, std::string_view b) {
    return CompareAsciiIgnoringCase(Entry(a), Entry(b)) == 0;
}

bool HoldsSameFolders(const std::vector<std::string>& history) {
    for (std::size_t i = 0; i < history.size(); ++i)
        for (std::size_t j = i + 1; j < history.size(); ++j)
            if (SameFolder(history[i], history[j]))
                return true;
    return false;
}

void CheckChosenFiles(std::string_view buffer) {
    // Read only up to the buffer's size (AddressSanitizer watches the end of the input).
    std::vector<std::string> files = ChosenFiles(buffer.data(), buffer.size());
    // The pieces up to the first empty one. Every piece but the last ends in a NUL; the last
    // runs to the end of the buffer, cut short.
    std::vector<std::string_view> pieces = Pieces(buffer, '\0');
    std::vector<std::string_view> parts;
    bool cut = false;
    for (std::size_t k = 0; k < pieces.size() && !pieces[k].empty(); ++k) {
        if (k + 1 == pieces.size()) {
            cut = true;
            break;
        }
        parts.push_back(pieces[k]);
    }
    if (parts.size() <= 1 && !cut) {
        Check(files == std::vector<std::string>(parts.begin(), parts.end()));
        return;
    }
    // A cut buffer held several names. The folder, one separator (its own when it ends in
    // one), then each whole name.
    if (parts.empty()) {
        Check(files.empty());
        return;
    }
    Check(files.size() == parts.size() - 1);
    std::string folder(parts[0]);
    if (!EndsWithSeparator(folder))
        folder += '\\';
    for (std::size_t k = 0; k < files.size(); ++k) {
        Check(files[k].find('\0') == std::string::npos);
        Check(files[k] == folder + std::string(parts[k + 1]));
    }
}

// Rows of five small numbers each, from the bytes; the gap from the first.
void CheckLabelRows(std::string_view bytes) {
    if (bytes.empty())
        return;
    const int gap = static_cast<unsigned char>(bytes[0]) % 8;
    std::vector<LabelRow> rows;
    for (std::size_t at = 1; at + 5 <= bytes.size() && rows.size() < 6; at += 5) {
        auto n = [&](std::size_t k) {
            return static_cast<int>(static_cast<unsigned char>(bytes[at + k]));
        };
        rows.push_back({n(0), n(1), n(2), n(3) % 16 * 16, n(3) % 16 * 16 + n(4)});
    }
    std::vector<LabelFit> fits = FitLabelRows(rows, gap);
    Check(fits.size() == rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const LabelRow& row = rows[i];
        const LabelFit& fit = fits[i];
        // The text shows whole; the field moved only right, never past its right edge, and
        // clear of the text unless that edge stopped it.
        Check(fit.labelWidth >= row.textWidth);
        Check(fit.fieldLeft >= row.fieldLeft &&
              fit.fieldLeft <= std::max(row.fieldLeft, row.fieldRight));
        if (fit.fieldLeft < row.fieldRight)
            Check(row.labelLeft + row.textWidth + gap <= fit.fieldLeft);
        // Fields that started together still do.
        for (std::size_t j = 0; j < rows.size(); ++j)
            if (rows[j].fieldLeft == row.fieldLeft && fit.fieldLeft < row.fieldRight &&
                fits[j].fieldLeft < rows[j].fieldRight)
                Check(fits[j].fieldLeft == fit.fieldLeft);
    }
}

void CheckFolderTexts(const std::string& folder) {
    std::string entry = FolderHistoryEntry(folder);
    Check(entry == Entry(folder));
    // A separator comes back only after a drive.
    std::string shown = ShownFolderText(folder);
    bool drive = entry.size() == 2 && EndsWithCharacter(entry, ':');
    Check(shown == (drive ? entry + '\\' : entry));
}

void CheckHistory(std::vector<std::string> history, const std::string& folder, bool atTop,
                  int maxCount) {
    const std::vector<std::string> before = history;
    AddToFolderHistory(history, folder, atTop, maxCount, CompareAsciiIgnoringCase);
    const std::string entry = FolderHistoryEntry(folder);
    Check(!history.empty() && (atTop ? history.front() : history.back()) == entry);
    Check(static_cast<int>(history.size()) <= std::max(maxCount, 1));
    // The folder is there once, as the dialog looks it up; the others are older entries in
    // their order.
    Check(IsInFolderHistory(history, folder, CompareAsciiIgnoringCase));
    Check(std::count_if(history.begin(), history.end(),
                        [&](const std::string& item) { return SameFolder(item, folder); }) == 1);
    std::vector<std::string> others = history;
    others.erase(atTop ? others.begin() : others.end() - 1);
    auto next = before.begin();
    for (const std::string& item : others) {
        next = std::find(next, before.end(), item);
        Check(next != before.end());
        ++next;
    }
    if (!HoldsSameFolders(before))
        Check(!HoldsSameFolders(history));
    // Adding it again changes nothing.
    std::vector<std::string> again = history;
    AddToFolderHistory(again, folder, atTop, maxCount, CompareAsciiIgnoringCase);
    Check(again == history);
    // Each entry is found again as the dialog shows it.
    for (const std::string& item : history)
        Check(IsInFolderHistory(history, ShownFolderText(item), CompareAsciiIgnoringCase));
}

void CheckCounts(std::optional<int> stored, std::uint32_t valueCount, std::string_view values) {
    std::optional<int> count = TrustedCount(stored, valueCount);
    if (count) {
        Check(count == stored && *count >= 0 && static_cast<std::uint32_t>(*count) <= valueCount);
    } else {
        Check(!stored || *stored < 0 || static_cast<std::uint32_t>(*stored) > valueCount);
    }
    // Value i is there while byte i of the values is not NUL.
    std::vector<int> asked;
    int run = PresentRun(valueCount, [&](int i) {
        asked.push_back(i);
        return static_cast<std::size_t>(i) < values.size() && values[i] != '\0';
    });
    std::size_t expected = std::min<std::size_t>(valueCount, values.find('\0'));
    expected = std::min(expected, values.size());
    Check(run >= 0 && static_cast<std::size_t>(run) == expected);
    for (std::size_t i = 0; i < asked.size(); ++i)
        Check(asked[i] == static_cast<int>(i));
}

void CheckFilter(const std::string& filter) {
    std::string buffer = FilterBuffer(filter);
    if (filter.empty()) {
        Check(buffer.empty());
        return;
    }
    // Each "|" that is a character of its own a NUL, every other byte kept, two NULs added.
    std::string expected;
    for (std::string_view c : Characters(filter))
        expected += c == "|" ? std::string_view("\0", 1) : c;
    expected.append(2, '\0');
    Check(buffer == expected);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 6)
        return 0;
    const std::uint8_t flags = data[0];
    const bool atTop = flags & 1;
    const int maxCount = (flags >> 4) - 2;
    std::optional<int> stored;
    if (!(flags & 2))
        stored = ReadInt32(data + 1);
    const std::uint32_t valueCount = data[5];
    std::string_view rest(reinterpret_cast<const char*>(data + 6), size - 6);

    CheckChosenFiles(rest);
    CheckLabelRows(rest);
    CheckCounts(stored, valueCount, rest);
    CheckFilter(std::string(rest));
    std::vector<std::string_view> pieces = Pieces(rest, '\0');
    for (std::string_view piece : pieces)
        CheckFolderTexts(std::string(piece));
    CheckHistory(std::vector<std::string>(pieces.begin() + 1, pieces.end()), std::string(pieces[0]),
                 atTop, maxCount);
    return 0;
}
