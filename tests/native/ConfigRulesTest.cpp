// The settings dialog's archive type lists and rules between its controls.
#include "config/ConfigRules.h"

#include <gtest/gtest.h>

using namespace config;

namespace {

std::vector<std::string> Captions(const std::vector<ArchiveTypeEntry>& list) {
    std::vector<std::string> captions;
    for (const auto& entry : list)
        captions.push_back(entry.caption);
    return captions;
}

const LibraryPresence kAll{true, true, true, true, true, true};

} // namespace

TEST(ConfigRules, ArchiveTypeListFollowsTheLibraries) {
    auto all = ArchiveTypeList(kAll, 4);
    EXPECT_EQ((std::vector<std::string>{"Lha 書庫", "Lha 自己解凍書庫", "Zip 書庫",
                                        "Zip 自己解凍書庫", "Cab 書庫", "Cab 自己解凍書庫",
                                        "Tar ファイル", "GZip 書庫", "Bz2 書庫", "Compress形式"}),
              Captions(all));
    struct Expected {
        int family, tarKind, sfxMode, image;
    } expected[] = {{1, 0, 0, 7},  {1, 0, 4, 13}, {6, 0, 0, 8},  {6, 0, 1, 12}, {2, 0, 0, 9},
                    {2, 0, 1, 14}, {3, 1, 0, 10}, {3, 2, 0, 10}, {3, 6, 0, 10}, {3, 4, 0, 10}};
    ASSERT_EQ(std::size(expected), all.size());
    for (std::size_t i = 0; i < all.size(); ++i) {
        EXPECT_EQ(expected[i].family, all[i].family) << i;
        EXPECT_EQ(expected[i].tarKind, all[i].tarKind) << i;
        EXPECT_EQ(expected[i].sfxMode, all[i].sfxMode) << i;
        EXPECT_EQ(expected[i].image, all[i].image) << i;
    }

    LibraryPresence zipWithoutCrypt{false, true, false, false, true, false};
    EXPECT_EQ((std::vector<std::string>{"Zip 書庫", "Tar ファイル", "GZip 書庫", "Compress形式"}),
              Captions(ArchiveTypeList(zipWithoutCrypt, 4)));
    // The self-extractor library alone makes no Zip entry.
    EXPECT_TRUE(ArchiveTypeList({false, false, true, false, false, false}, 4).empty());
}

TEST(ConfigRules, LhaSelfExtractorKinds) {
    auto kinds = LhaSfxList(true);
    EXPECT_EQ((std::vector<std::string>{"Dos用 Sfx", "Win16用 Sfx", "Win16用 SfxM", "Win32用 Sfx",
                                        "Win32用 SfxM"}),
              Captions(kinds));
    for (int mode = 1; mode <= 5; ++mode)
        EXPECT_EQ(mode, kinds[static_cast<std::size_t>(mode - 1)].sfxMode);
    EXPECT_EQ(12, kinds[0].image);
    EXPECT_EQ(13, kinds[4].image);
    EXPECT_TRUE(LhaSfxList(false).empty());
    EXPECT_EQ(3, LhaSfxIndex(kinds, 4));
    EXPECT_EQ(-1, LhaSfxIndex(kinds, 0));
    EXPECT_EQ(-1, LhaSfxIndex(kinds, 6));
}

TEST(ConfigRules, StoredDefaultSelectsAnEntry) {
    auto all = ArchiveTypeList(kAll, 3);
    struct Case {
        int archType, tarType, sfxMode;
        const char* selected;
    } cases[] = {
        {1, 0, 0, "Lha 書庫"}, {1, 0, 3, "Lha 自己解凍書庫"}, {6, 0, 1, "Zip 自己解凍書庫"},
        {2, 0, 0, "Cab 書庫"}, {3, 6, 0, "Bz2 書庫"},         {3, 4, 0, "Compress形式"},
        {9, 0, 0, "Lha 書庫"}, {3, 0, 0, "Lha 書庫"},
    };
    for (const Case& c : cases) {
        int index = FindArchiveType(all, c.archType, c.tarType, c.sfxMode);
        ASSERT_GE(index, 0);
        EXPECT_EQ(c.selected, all[static_cast<std::size_t>(index)].caption) << c.archType;
    }
    // Bzip2 stored without its support: no match, the first entry.
    LibraryPresence noBzip2 = kAll;
    noBzip2.bzip2 = false;
    auto list = ArchiveTypeList(noBzip2, 4);
    EXPECT_EQ(0, FindArchiveType(list, 3, 6, 0));
    EXPECT_EQ(-1, FindArchiveType({}, 1, 0, 0));
}

TEST(ConfigRules, LhaSelfExtractorStoresTheChosenKind) {
    auto all = ArchiveTypeList(kAll, 3);
    auto kinds = LhaSfxList(true);
    StoredArchiveType stored = ArchiveTypeToStore(all[1], &kinds[0]);
    EXPECT_EQ(1, stored.archType);
    EXPECT_EQ(0, stored.tarType);
    EXPECT_EQ(1, stored.sfxMode);
    // Without a chosen kind the entry's own mode.
    EXPECT_EQ(3, ArchiveTypeToStore(all[1], nullptr).sfxMode);
    // Other families keep their own mode whatever kind is chosen.
    stored = ArchiveTypeToStore(all[3], &kinds[4]);
    EXPECT_EQ(6, stored.archType);
    EXPECT_EQ(1, stored.sfxMode);
    stored = ArchiveTypeToStore(all[8], &kinds[4]);
    EXPECT_EQ(3, stored.archType);
    EXPECT_EQ(6, stored.tarType);
    EXPECT_EQ(0, stored.sfxMode);
    EXPECT_EQ(0, ArchiveTypeToStore(all[0], &kinds[4]).sfxMode);
}

TEST(ConfigRules, TypeLabelAndFolderInformation) {
    ArchiveTypeEntry zip{"Zip 書庫", 6, 0, 0, 8};
    EXPECT_EQ("-  Zip 書庫", TypeLabel(false, &zip));
    EXPECT_EQ("", TypeLabel(true, &zip));
    EXPECT_EQ("", TypeLabel(false, nullptr));

    struct Case {
        bool automatic, useDir;
        FolderInfoEnabling expected;
    } cases[] = {
        {true, true, {false, false, false}},
        {true, false, {false, false, false}},
        {false, true, {true, true, true}},
        {false, false, {true, false, false}},
    };
    for (const Case& c : cases) {
        FolderInfoEnabling got = FolderInformationRule(c.automatic, c.useDir);
        EXPECT_EQ(c.expected.useDir, got.useDir);
        EXPECT_EQ(c.expected.absolutePath, got.absolutePath);
        EXPECT_EQ(c.expected.subDir, got.subDir);
    }
}

TEST(ConfigRules, ShortcutWorkingFolder) {
    EXPECT_EQ("C:\\Tools\\Pakico", ShortcutWorkingFolder("C:\\Tools\\Pakico\\"));
    EXPECT_EQ("C:\\", ShortcutWorkingFolder("C:\\"));
}
