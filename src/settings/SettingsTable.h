// Every key and value the program keeps below HKEY_CURRENT_USER\Software\Tavi\Morva, with its
// type and default. Code reads and writes settings through these descriptors, never by literals.
// The tree is shared with the companion Morva, so the names are fixed byte for byte.
#pragma once

#include <span>
#include <string>

namespace settings {

// The product key below HKEY_CURRENT_USER. Sections are paths relative to it.
inline constexpr const char* ProductKey = "Software\\Tavi\\Morva";

// Sections (relative to the product key; key names compare without regard to case).
inline constexpr const char* SectionSetting = "Setting";
inline constexpr const char* SectionArchive = "Archive";
inline constexpr const char* SectionCommon = "Archive\\Common";
inline constexpr const char* SectionCommonAdd = "Archive\\Common\\Add";
inline constexpr const char* SectionCommonExtract = "Archive\\Common\\Extract";
inline constexpr const char* SectionQuickAdd = "Archive\\Quick\\Add";
inline constexpr const char* SectionQuickExtract = "Archive\\Quick\\Extract";
inline constexpr const char* SectionDropHandlerAdd = "Archive\\DropHandler\\Add";
inline constexpr const char* SectionDialog = "Dialog";
inline constexpr const char* SectionPakico = "Dialog\\Pakico";
inline constexpr const char* SectionCabinet = "Dialog\\Cabinet";
inline constexpr const char* SectionHistory = "History";

// History lists, as full paths below HKEY_CURRENT_USER (integer "Count", strings "0", "1", ...).
inline constexpr const char* HistoryArchiveFileKey = "Software\\Tavi\\Morva\\history\\ArchiveFile";
// Folders of recent archives; also the compression destination history and the folder history
// of the archive open dialog.
inline constexpr const char* HistoryArchivePathKey =
    "Software\\Tavi\\Morva\\history\\ArchiveFile\\Path";
inline constexpr const char* HistoryWatchPathKey = "Software\\Tavi\\Morva\\history\\Watch\\Path";
inline constexpr const char* HistoryExtractPathKey =
    "Software\\Tavi\\Morva\\history\\Extract\\Path";
inline constexpr const char* HistoryTreeDlgKey = "Software\\Tavi\\Morva\\History\\TreeDlg";

// Stored as REG_DWORD 0 or 1; any non-zero value reads as true.
struct BoolSetting {
    const char* section;
    const char* name;
    bool defaultValue;
};

// Stored as REG_DWORD, signed 32-bit.
struct IntSetting {
    const char* section;
    const char* name;
    int defaultValue;
};

// Stored as REG_SZ (REG_EXPAND_SZ is read too, unexpanded).
struct StringSetting {
    const char* section;
    const char* name;
    const char* defaultValue;
    // The default is the temporary folder, known only at run time; defaultValue is then empty
    // and the store's descriptor read substitutes the folder.
    bool defaultIsTempFolder = false;
};

// Section "Setting": result reports, confirmations and the start hot key.
inline constexpr BoolSetting Confirmation1{SectionSetting, "Confirmation1", false};
inline constexpr BoolSetting Confirmation2{SectionSetting, "Confirmation2", false};
inline constexpr BoolSetting IgnoreBrokenHeader{SectionSetting, "IgnoreBrokenHeader", false};
inline constexpr BoolSetting ErrorMessage{SectionSetting, "ErrorMessage", true};
inline constexpr BoolSetting ReportType1{SectionSetting, "ReportType1", false};
inline constexpr BoolSetting ReportType2{SectionSetting, "ReportType2", false};
inline constexpr BoolSetting SkipFile{SectionSetting, "SkipFile", false};
inline constexpr BoolSetting OutReport1{SectionSetting, "OutReport1", true};
inline constexpr BoolSetting OutReport2{SectionSetting, "OutReport2", true};
// Shortcut text such as "Ctrl+Alt+L". The icon window reads it with this default, which names
// no key; the settings dialog reads it with HotKeyDialogDefault instead.
inline constexpr StringSetting HotKey{SectionSetting, "HotKey", "なし"};
inline constexpr const char* HotKeyDialogDefault = "";
// Written by the companion only.
inline constexpr BoolSetting BeepSound{SectionSetting, "BeepSound", false};
inline constexpr StringSetting WorkPath{SectionSetting, "WorkPath", "", true};

// Section "Archive": archiver log size in kilobytes, 1 to 32512.
inline constexpr IntSetting LogSize{SectionArchive, "LogSize", 1024};

// Section "Archive\Common": start folder of the archive open dialog (written by the companion).
// OpenType: 1 the recent folder, 2 the fixed folder, anything else none.
inline constexpr IntSetting CommonOpenType{SectionCommon, "OpenType", 1};
inline constexpr StringSetting CommonRecentPath{SectionCommon, "RecentPath", ""};
inline constexpr StringSetting CommonFixedPath{SectionCommon, "FixedPath", ""};

// Section "Archive\Common\Add": the archive type of new archives.
inline constexpr IntSetting DefaultArchType{SectionCommonAdd, "DefaultArchType", 1};
inline constexpr IntSetting DefaultTarType{SectionCommonAdd, "DefaultTarType", 0};
inline constexpr IntSetting DefaultSfxMode{SectionCommonAdd, "DefaultSfxMode", 0};
inline constexpr IntSetting DefaultLhaSfxMode{SectionCommonAdd, "DefaultLhaSfxMode", 4};

// Section "Archive\Quick\Add": quick compression.
inline constexpr BoolSetting SelectArchiveType{SectionQuickAdd, "SelectArchiveType", true};
inline constexpr StringSetting QuickAddFixedPath{SectionQuickAdd, "FixedPath", ""};
// 0 folder of the compressed object, 1 ask, 2 desktop, 3 the fixed folder.
inline constexpr IntSetting ToPath{SectionQuickAdd, "ToPath", 2};
inline constexpr IntSetting LhaType{SectionQuickAdd, "LhaType", 2};
inline constexpr IntSetting ZipLevel{SectionQuickAdd, "ZipLevel", 4};
inline constexpr IntSetting TarLevel{SectionQuickAdd, "TarLevel", 4};
inline constexpr IntSetting CabType{SectionQuickAdd, "CabType", 0};
inline constexpr IntSetting CabLevel{SectionQuickAdd, "CabLevel", 15};

// Section "Archive\DropHandler\Add": compression of dropped objects. "DropAddAutomatice" is the
// companion's spelling of the stored name.
inline constexpr BoolSetting DropAddAutomatice{SectionDropHandlerAdd, "DropAddAutomatice", true};
inline constexpr BoolSetting DropAddUseDir{SectionDropHandlerAdd, "DropAddUseDir", true};
inline constexpr BoolSetting DropAddAbsolutePath{SectionDropHandlerAdd, "DropAddAbsolutePath",
                                                 false};
inline constexpr BoolSetting DropAddSubDir{SectionDropHandlerAdd, "DropAddSubDir", true};
inline constexpr BoolSetting DropAddDirectory{SectionDropHandlerAdd, "DropAddDirectory", true};
inline constexpr BoolSetting DropAddOpen{SectionDropHandlerAdd, "DropAddOpen", true};

// Section "Archive\Quick\Extract": quick extraction.
inline constexpr StringSetting QuickExtractFixedPath{SectionQuickExtract, "FixedPath", ""};
// 0 the archive's folder, 1 ask, 2 the fixed folder, 3 desktop.
inline constexpr IntSetting ExtractPath{SectionQuickExtract, "ExtractPath", 1};
// Folder named after the archive: 0 ask, 1 always, 2 only for several archives at once.
inline constexpr IntSetting ArchivePath{SectionQuickExtract, "ArchivePath", 0};
inline constexpr BoolSetting IsArchivePath2{SectionQuickExtract, "IsArchivePath2", false};
inline constexpr BoolSetting DelNumDir{SectionQuickExtract, "DelNumDir", false};
inline constexpr BoolSetting Recurse{SectionQuickExtract, "Recurse", false};
inline constexpr BoolSetting FileCopy{SectionQuickExtract, "FileCopy", false};
inline constexpr BoolSetting FileMove{SectionQuickExtract, "FileMove", false};
// 0 ask, 1 overwrite only with newer, 2 always overwrite, 3 rename, 4 never overwrite.
inline constexpr IntSetting Duplicate{SectionQuickExtract, "Duplicate", 1};
inline constexpr BoolSetting Explorer{SectionQuickExtract, "Explorer", false};

// Section "Archive\Common\Extract".
inline constexpr BoolSetting InputPath{SectionCommonExtract, "InputPath", false};

// Window and dialog geometry.
inline constexpr IntSetting PakicoLeft{SectionPakico, "Left", 1};
inline constexpr IntSetting PakicoTop{SectionPakico, "Top", 1};
// The ANSI code page other than 932 that the user was last told of at a start (0: none).
inline constexpr IntSetting CodePageTold{SectionPakico, "CodePageTold", 0};
inline constexpr IntSetting TreeDlgWidth{SectionDialog, "TreeDlg_Width", 388};
inline constexpr IntSetting TreeDlgHeight{SectionDialog, "TreeDlg_Height", 362};

// Section "Dialog\Cabinet": places of the archive open dialog (written by the companion).
// Place n (from 0) is held in the values CabinetCaptionName(n), CabinetRootFolderName(n) and
// CabinetFolderPathName(n); missing ones read as the defaults below.
inline constexpr IntSetting CabinetCount{SectionCabinet, "Count", 0};
inline constexpr const char* CabinetCaptionDefault = "";
inline constexpr int CabinetRootFolderDefault = 0; // the current folder
inline constexpr const char* CabinetFolderPathDefault = "";
std::string CabinetCaptionName(int index);    // "Caption" + decimal index
std::string CabinetRootFolderName(int index); // "RootFolder" + decimal index
std::string CabinetFolderPathName(int index); // "FolderPath" + decimal index

// Section "History": number of entries shown in the history menus (written by the companion).
inline constexpr IntSetting OpenCount{SectionHistory, "OpenCount", 10};

// Every descriptor above, by type.
std::span<const BoolSetting* const> AllBoolSettings();
std::span<const IntSetting* const> AllIntSettings();
std::span<const StringSetting* const> AllStringSettings();

} // namespace settings
