// The lists of all settings descriptors, and the numbered value names of the open dialog's places.
#include "settings/SettingsTable.h"

namespace settings {

namespace {

const BoolSetting* const kBoolSettings[] = {
    &Confirmation1,      &Confirmation2,
    &IgnoreBrokenHeader, &ErrorMessage,
    &ReportType1,        &ReportType2,
    &SkipFile,           &OutReport1,
    &OutReport2,         &BeepSound,
    &SelectArchiveType,  &DropAddAutomatice,
    &DropAddUseDir,      &DropAddAbsolutePath,
    &DropAddSubDir,      &DropAddDirectory,
    &DropAddOpen,        &IsArchivePath2,
    &DelNumDir,          &Recurse,
    &FileCopy,           &FileMove,
    &Explorer,           &InputPath,
};

const IntSetting* const kIntSettings[] = {
    &LogSize,           &CommonOpenType, &DefaultArchType, &DefaultTarType, &DefaultSfxMode,
    &DefaultLhaSfxMode, &ToPath,         &LhaType,         &ZipLevel,       &TarLevel,
    &CabType,           &CabLevel,       &ExtractPath,     &ArchivePath,    &Duplicate,
    &PakicoLeft,        &PakicoTop,      &CodePageTold,    &TreeDlgWidth,   &TreeDlgHeight,
    &CabinetCount,      &OpenCount,
};

const StringSetting* const kStringSettings[] = {
    &HotKey,          &WorkPath,          &CommonRecentPath,
    &CommonFixedPath, &QuickAddFixedPath, &QuickExtractFixedPath,
};

} // namespace

std::string CabinetCaptionName(int index) {
    return "Caption" + std::to_string(index);
}
std::string CabinetRootFolderName(int index) {
    return "RootFolder" + std::to_string(index);
}
std::string CabinetFolderPathName(int index) {
    return "FolderPath" + std::to_string(index);
}

std::span<const BoolSetting* const> AllBoolSettings() {
    return kBoolSettings;
}
std::span<const IntSetting* const> AllIntSettings() {
    return kIntSettings;
}
std::span<const StringSetting* const> AllStringSettings() {
    return kStringSettings;
}

} // namespace settings
