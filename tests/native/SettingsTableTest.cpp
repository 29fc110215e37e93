// The settings table: names are unique, section paths well formed, numbered names as stored.
#include <gtest/gtest.h>

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

TEST(SettingsTable, CabinetPlaceNamesCarryTheDecimalIndex) {
    EXPECT_EQ("Caption0", settings::CabinetCaptionName(0));
    EXPECT_EQ("RootFolder12", settings::CabinetRootFolderName(12));
    EXPECT_EQ("FolderPath3", settings::CabinetFolderPathName(3));
}

} // namespace
