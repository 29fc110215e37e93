// Archive type lists and the other rules of the settings dialog.
#include "config/ConfigRules.h"

#include "util/PathText.h"

namespace config {

std::vector<ArchiveTypeEntry> ArchiveTypeList(const LibraryPresence& libraries, int lhaSfxMode) {
    std::vector<ArchiveTypeEntry> list;
    if (libraries.lha) {
        list.push_back({"Lha 書庫", 1, 0, 0, 7});
        list.push_back({"Lha 自己解凍書庫", 1, 0, lhaSfxMode, 13});
    }
    if (libraries.zip) {
        list.push_back({"Zip 書庫", 6, 0, 0, 8});
        if (libraries.zcrypt)
            list.push_back({"Zip 自己解凍書庫", 6, 0, 1, 12});
    }
    if (libraries.cab) {
        list.push_back({"Cab 書庫", 2, 0, 0, 9});
        list.push_back({"Cab 自己解凍書庫", 2, 0, 1, 14});
    }
    if (libraries.tar) {
        list.push_back({"Tar ファイル", 3, 1, 0, 10});
        list.push_back({"GZip 書庫", 3, 2, 0, 10});
        if (libraries.bzip2)
            list.push_back({"Bz2 書庫", 3, 6, 0, 10});
        list.push_back({"Compress形式", 3, 4, 0, 10});
    }
    return list;
}

std::vector<ArchiveTypeEntry> LhaSfxList(bool lha) {
    if (!lha)
        return {};
    return {{"Dos用 Sfx", 1, 0, 1, 12},
            {"Win16用 Sfx", 1, 0, 2, 13},
            {"Win16用 SfxM", 1, 0, 3, 13},
            {"Win32用 Sfx", 1, 0, 4, 13},
            {"Win32用 SfxM", 1, 0, 5, 13}};
}

int FindArchiveType(const std::vector<ArchiveTypeEntry>& list, int archType, int tarType,
                    int sfxMode) {
    for (std::size_t i = 0; i < list.size(); ++i) {
        const ArchiveTypeEntry& entry = list[i];
        if (entry.family == archType && entry.tarKind == tarType &&
            (sfxMode > 0 ? entry.sfxMode > 0 : entry.sfxMode == 0))
            return static_cast<int>(i);
    }
    return list.empty() ? -1 : 0;
}

int LhaSfxIndex(const std::vector<ArchiveTypeEntry>& list, int lhaSfxMode) {
    if (lhaSfxMode < 1 || lhaSfxMode > 5 || static_cast<std::size_t>(lhaSfxMode) > list.size())
        return -1;
    return lhaSfxMode - 1;
}

StoredArchiveType ArchiveTypeToStore(const ArchiveTypeEntry& selected,
                                     const ArchiveTypeEntry* lhaSfx) {
    int mode = selected.sfxMode;
    if (selected.family == 1 && selected.sfxMode > 0 && lhaSfx)
        mode = lhaSfx->sfxMode;
    return {selected.family, selected.tarKind, mode};
}

std::string TypeLabel(bool chooseEachTime, const ArchiveTypeEntry* selected) {
    if (chooseEachTime || !selected)
        return {};
    return "-  " + selected->caption;
}

FolderInfoEnabling FolderInformationRule(bool automatic, bool useDir) {
    if (automatic)
        return {false, false, false};
    return {true, useDir, useDir};
}

std::string ShortcutWorkingFolder(std::string_view programFolder) {
    if (programFolder.size() == 3)
        return std::string(programFolder);
    return RemoveTrailingSeparator(programFolder);
}

} // namespace config
