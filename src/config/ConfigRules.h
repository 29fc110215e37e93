// The settings dialog's rules that need no platform call: the archive type lists and how a
// stored default picks an entry and is stored back, the label beside the "choose each time"
// box, the folder-information enabling and the start-up shortcut's working folder.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace config {

// One entry of the archive type lists: the archive family (1 Lha, 2 Cab, 3 tar family,
// 6 Zip), the tar kind within the tar family, the self-extractor mode (0 plain) and its image
// in the dialog's image list.
struct ArchiveTypeEntry {
    std::string caption;
    std::uint8_t family = 0;
    std::uint8_t tarKind = 0;
    int sfxMode = 0;
    int image = -1;
};

// Which archiver libraries are there to make each kind of archive.
struct LibraryPresence {
    bool lha = false;
    bool zip = false;
    bool zcrypt = false; // the Zip self-extractor's library
    bool cab = false;
    bool tar = false;
    bool bzip2 = false;
};

// The default archive type list, in its fixed order; the Lha self-extractor entry carries the
// stored Lha self-extractor kind.
std::vector<ArchiveTypeEntry> ArchiveTypeList(const LibraryPresence& libraries, int lhaSfxMode);
// The Lha self-extractor kinds (modes 1 to 5); empty without the Lha library.
std::vector<ArchiveTypeEntry> LhaSfxList(bool lha);

// The entry a stored default selects: the first of the same family and tar kind that is a
// self-extractor exactly when the stored mode is above 0; with no match the first entry; -1
// for an empty list.
int FindArchiveType(const std::vector<ArchiveTypeEntry>& list, int archType, int tarType,
                    int sfxMode);

// The entry of the Lha self-extractor list a stored kind selects; -1 outside 1 to 5.
int LhaSfxIndex(const std::vector<ArchiveTypeEntry>& list, int lhaSfxMode);

// What is stored for a selected entry: its family and tar kind, and as mode the chosen Lha
// self-extractor kind for a Lha self-extractor (when one is chosen), else its own mode.
struct StoredArchiveType {
    int archType;
    int tarType;
    int sfxMode;
};
StoredArchiveType ArchiveTypeToStore(const ArchiveTypeEntry& selected,
                                     const ArchiveTypeEntry* lhaSfx);

// The text beside "choose the type each time": "-  " and the selected type while the box is
// not ticked; empty otherwise.
std::string TypeLabel(bool chooseEachTime, const ArchiveTypeEntry* selected);

// Folder information of dropped objects: which of its three dependent boxes can be used.
struct FolderInfoEnabling {
    bool useDir;
    bool absolutePath;
    bool subDir;
};
FolderInfoEnabling FolderInformationRule(bool automatic, bool useDir);

// The working folder of the start-up shortcut: the program's folder without its trailing
// separator, a drive root ("C:\") as it is.
std::string ShortcutWorkingFolder(std::string_view programFolder);

} // namespace config
