// The settings table: names are unique, section paths well formed, numbered names as stored.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <utility>

#include "settings/SettingsTable.h"
#include "util/Mbcs.h"

namespace {

// Every section+name of the table, folded as the registry compares key and value names.
std::multiset<std::pair<std::string, std::string>> AllNames() {
    std::multiset<std::pair<std::string, std::string>> names;
    auto add = [&](const char* section, const char* name) {
        names.emplace(mbcs::AsciiLower(section), mbcs::AsciiLower(name));
    };
    for (const auto* s : settings::AllBoolSettings())
        add(s->section, s->name);
    for (const auto* s : settings::AllIntSettings())
        add(s->section, s->name);
    for (const auto* s : settings::AllStringSettings())
        add(s->section, s->name);
    return names;
}

bool WellFormedPath(const std::string& path) {
    return !path.empty() && path.front() != '\\' && path.back() != '\\' &&
           path.find("\\\\") == std::string::npos;
}

TEST(SettingsTable, NoTwoDescriptorsShareSectionAndName) {
    auto names = AllNames();
    for (const auto& entry : names)
        EXPECT_EQ(1u, names.count(entry)) << entry.first << "\\" << entry.second;
}

TEST(SettingsTable, SectionsAndKeysAreWellFormed) {
    for (const auto& [section, name] : AllNames()) {
        EXPECT_TRUE(WellFormedPath(section)) << section;
        EXPECT_FALSE(name.empty()) << section;
    }
    const char* keys[] = {settings::ProductKey,
                          settings::HistoryArchiveFileKey,
                          settings::HistoryArchivePathKey,
                          settings::HistoryWatchPathKey,
                          settings::HistoryExtractPathKey,
                          settings::HistoryTreeDlgKey};
    std::string product = mbcs::AsciiLower(settings::ProductKey) + "\\history\\";
    for (const char* key : keys) {
        EXPECT_TRUE(WellFormedPath(key)) << key;
        if (key != settings::ProductKey) {
            EXPECT_EQ(product, mbcs::AsciiLower(key).substr(0, product.size())) << key;
        }
    }
}

TEST(SettingsTable, OnlyWorkPathDefaultsToTheTemporaryFolder) {
    for (const auto* s : settings::AllStringSettings()) {
        EXPECT_EQ(s == &settings::WorkPath, s->defaultIsTempFolder) << s->name;
        if (s->defaultIsTempFolder) {
            EXPECT_STREQ("", s->defaultValue);
        }
    }
}

// The values the program shares with its companion, as the companion stores them: section,
// name, type and default. Written out here by hand, so that a typo in a name, a wrong type or a
// wrong default in the program's table shows.
struct StoredValue {
    const char* section;
    const char* name;
    char type; // 'b' Boolean, 'i' integer, 's' string
    const char* defaultValue;
};
const StoredValue kStoredValues[] = {
    {"Setting", "Confirmation1", 'b', "0"},
    {"Setting", "Confirmation2", 'b', "0"},
    {"Setting", "IgnoreBrokenHeader", 'b', "0"},
    {"Setting", "ErrorMessage", 'b', "1"},
    {"Setting", "ReportType1", 'b', "0"},
    {"Setting", "ReportType2", 'b', "0"},
    {"Setting", "SkipFile", 'b', "0"},
    {"Setting", "OutReport1", 'b', "1"},
    {"Setting", "OutReport2", 'b', "1"},
    {"Setting", "HotKey", 's', "なし"},
    {"Setting", "BeepSound", 'b', "0"},
    {"Setting", "WorkPath", 's', ""},
    {"Archive", "LogSize", 'i', "1024"},
    {"Archive\\Common", "OpenType", 'i', "1"},
    {"Archive\\Common", "RecentPath", 's', ""},
    {"Archive\\Common", "FixedPath", 's', ""},
    {"Archive\\Common\\Add", "DefaultArchType", 'i', "1"},
    {"Archive\\Common\\Add", "DefaultTarType", 'i', "0"},
    {"Archive\\Common\\Add", "DefaultSfxMode", 'i', "0"},
    {"Archive\\Common\\Add", "DefaultLhaSfxMode", 'i', "4"},
    {"Archive\\Quick\\Add", "SelectArchiveType", 'b', "1"},
    {"Archive\\Quick\\Add", "FixedPath", 's', ""},
    {"Archive\\Quick\\Add", "ToPath", 'i', "2"},
    {"Archive\\Quick\\Add", "LhaType", 'i', "2"},
    {"Archive\\Quick\\Add", "ZipLevel", 'i', "4"},
    {"Archive\\Quick\\Add", "TarLevel", 'i', "4"},
    {"Archive\\Quick\\Add", "CabType", 'i', "0"},
    {"Archive\\Quick\\Add", "CabLevel", 'i', "15"},
    {"Archive\\DropHandler\\Add", "DropAddAutomatice", 'b', "1"},
    {"Archive\\DropHandler\\Add", "DropAddUseDir", 'b', "1"},
    {"Archive\\DropHandler\\Add", "DropAddAbsolutePath", 'b', "0"},
    {"Archive\\DropHandler\\Add", "DropAddSubDir", 'b', "1"},
    {"Archive\\DropHandler\\Add", "DropAddDirectory", 'b', "1"},
    {"Archive\\DropHandler\\Add", "DropAddOpen", 'b', "1"},
    {"Archive\\Quick\\Extract", "FixedPath", 's', ""},
    {"Archive\\Quick\\Extract", "ExtractPath", 'i', "1"},
    {"Archive\\Quick\\Extract", "ArchivePath", 'i', "0"},
    {"Archive\\Quick\\Extract", "IsArchivePath2", 'b', "0"},
    {"Archive\\Quick\\Extract", "DelNumDir", 'b', "0"},
    {"Archive\\Quick\\Extract", "Recurse", 'b', "0"},
    {"Archive\\Quick\\Extract", "FileCopy", 'b', "0"},
    {"Archive\\Quick\\Extract", "FileMove", 'b', "0"},
    {"Archive\\Quick\\Extract", "Duplicate", 'i', "1"},
    {"Archive\\Quick\\Extract", "Explorer", 'b', "0"},
    {"Archive\\Common\\Extract", "InputPath", 'b', "0"},
    {"Dialog\\Pakico", "Left", 'i', "1"},
    {"Dialog\\Pakico", "Top", 'i', "1"},
    {"Dialog\\Pakico", "CodePageTold", 'i', "0"},
    {"Dialog", "TreeDlg_Width", 'i', "388"},
    {"Dialog", "TreeDlg_Height", 'i', "362"},
    {"Dialog\\Cabinet", "Count", 'i', "0"},
    {"History", "OpenCount", 'i', "10"},
};

TEST(SettingsTable, HoldsExactlyTheStoredValuesWithTheirTypesAndDefaults) {
    // Section and name exactly as written (the companion reads them byte for byte), mapped to
    // the type and default of the program's descriptor.
    std::map<std::pair<std::string, std::string>, std::pair<char, std::string>> table;
    for (const auto* s : settings::AllBoolSettings())
        table[{s->section, s->name}] = {'b', s->defaultValue ? "1" : "0"};
    for (const auto* s : settings::AllIntSettings())
        table[{s->section, s->name}] = {'i', std::to_string(s->defaultValue)};
    for (const auto* s : settings::AllStringSettings())
        table[{s->section, s->name}] = {'s', s->defaultValue};

    for (const StoredValue& v : kStoredValues) {
        auto found = table.find({v.section, v.name});
        if (found == table.end()) {
            ADD_FAILURE() << "missing: " << v.section << "\\" << v.name;
            continue;
        }
        EXPECT_EQ(std::make_pair(v.type, std::string(v.defaultValue)), found->second)
            << v.section << "\\" << v.name;
        table.erase(found);
    }
    for (const auto& [key, value] : table)
        ADD_FAILURE() << "not a stored value: " << key.first << "\\" << key.second;

    EXPECT_STREQ("Software\\Tavi\\Morva", settings::ProductKey);
    EXPECT_STREQ("Software\\Tavi\\Morva\\history\\ArchiveFile", settings::HistoryArchiveFileKey);
    EXPECT_STREQ("Software\\Tavi\\Morva\\history\\ArchiveFile\\Path",
                 settings::HistoryArchivePathKey);
    EXPECT_STREQ("Software\\Tavi\\Morva\\history\\Watch\\Path", settings::HistoryWatchPathKey);
    EXPECT_STREQ("Software\\Tavi\\Morva\\history\\Extract\\Path", settings::HistoryExtractPathKey);
    EXPECT_STREQ("Software\\Tavi\\Morva\\History\\TreeDlg", settings::HistoryTreeDlgKey);
    EXPECT_STREQ("", settings::HotKeyDialogDefault);
}

TEST(SettingsTable, CabinetPlaceNamesCarryTheDecimalIndex) {
    EXPECT_EQ("Caption0", settings::CabinetCaptionName(0));
    EXPECT_EQ("RootFolder12", settings::CabinetRootFolderName(12));
    EXPECT_EQ("FolderPath3", settings::CabinetFolderPathName(3));
}

} // namespace
