// The folder picker's rules that need no Win32 call: node paths, which items the tree lists and
// which it may delete, the visit trail of back and forward, the short names on their hints and
// the free-space text of the status bar.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace folders {

// The path of a tree node from what the shell gives for it: empty unless the item is a
// file-system folder; a trailing separator is dropped except on a drive root ("C:\"), and a
// bare drive ("C:") becomes its root. "::{...}" names of virtual folders are no paths.
std::string NodePathFromShell(std::string_view shellPath, bool fileSystem);

// "C:\" and "C:" (any letter): a drive root, which the tree never renames or deletes.
bool IsDriveRoot(std::string_view path);

// The shell's attribute bits (SFGAO_...) that decide whether the tree lists a child.
inline constexpr unsigned long kItemStream = 0x00400000;
inline constexpr unsigned long kItemFileSystemAncestor = 0x10000000;
inline constexpr unsigned long kItemFileSystem = 0x40000000;

// Whether the tree lists an item the shell enumerated as a folder: a file-system folder or one
// that holds some, but never a file the shell also opens as a folder (a .zip or .cab archive
// is a stream), which could be neither chosen nor written into.
bool ListedAsFolder(unsigned long attributes);

// Whether `path` is a folder directly inside `folder` (a node's own path and its parent node's
// folder): the only kind of folder the tree deletes. Neither may be empty; letters compare
// without case.
bool LiesDirectlyInside(std::string_view path, std::string_view folder);

// The path itself when shorter than 4 characters (a drive root), otherwise its last component.
std::string ShortFolderName(std::string_view path);

// The status bar text: empty without a drive text, else the text, " 空きディスク領域: " and the
// free size (KB, MB or GB with two decimals and the given separator). A negative size (a drive
// that is not ready) leaves the size out.
std::string FormatFreeSpace(const std::string& driveText, double freeBytes,
                            std::string_view decimalSeparator);

// The folders visited during one folder dialog, with back and forward over them.
class TVisitTrail {
  public:
    void Clear();
    // Records a newly selected folder: appended at the end, or (after going back) put in front
    // of the current entry so that it becomes current and the rest stays reachable forward.
    // Empty paths, the current folder again and visits made while navigating are not recorded.
    void RecordVisit(const std::string& path);
    // The entry `step` (-1 back, +1 forward) away, or empty when there is none. The position
    // moves only when there is one; the caller selects it while Navigating() is true.
    std::string NavigateTrail(int step);
    void SetNavigating(bool navigating) { navigating_ = navigating; }
    bool Navigating() const { return navigating_; }

    bool CanGoBack() const { return position_ > 1; }
    bool CanGoForward() const { return position_ > 0 && position_ < Count(); }
    // ShortFolderName of the entries back and forward lead to; empty when disabled.
    std::string BackHint() const;
    std::string ForwardHint() const;

    int Count() const { return static_cast<int>(entries_.size()); }
    int Position() const { return position_; }
    const std::vector<std::string>& Entries() const { return entries_; }

  private:
    std::vector<std::string> entries_;
    int position_ = 0; // 1-based, 0 when empty
    bool navigating_ = false;
};

} // namespace folders
