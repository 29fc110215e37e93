// A history menu whose lists are shared with other programs: it reads them before each build,
// writes its own changes at once and writes nothing stale when it goes, against the registry
// under Wine.
#include <windows.h>

#include <gtest/gtest.h>

#include "HistoryTestSupport.h"
#include "support/WinTestSupport.h"

using namespace history_test;
using testing_support::TempFolder;
using testing_support::WriteFileBytes;

using HistoryWriteThroughTest = HistoryMenuFixture;

TEST_F(HistoryWriteThroughTest, OthersWritesAreSeenAndKept) {
    TempFolder dir("hiswt");
    std::string a = dir.path() + "a.lzh", b = dir.path() + "b.lzh", c = dir.path() + "c.lzh";
    for (const std::string& file : {a, b, c})
        WriteFileBytes(file, "x");
    std::string folder = dir.path().substr(0, dir.path().size() - 1);
    for (bool writeThrough : {false, true}) {
        SCOPED_TRACE(writeThrough ? "write-through" : "kept in memory");
        PutList(kFileKey, {a}, 1);
        PutList(kPathKey, {}, 0);
        {
            auto menu = NewMenu();
            menu->WriteThrough = writeThrough;
            menu->SetActive(true);
            // Another program puts b in front meanwhile.
            PutList(kFileKey, {b, a}, 2);
            menu->BuildMenu();
            EXPECT_EQ(writeThrough ? 2 : 1, files.Count());
            // A use of the menu's own is written at once, over the fresh list.
            menu->AddFile(c);
            if (writeThrough) {
                EXPECT_EQ((std::vector<std::string>{c, b, a}), GetList(kFileKey));
                EXPECT_EQ(std::vector<std::string>{folder}, GetList(kPathKey));
            } else {
                EXPECT_EQ((std::vector<std::string>{b, a}), GetList(kFileKey));
            }
            // The other program writes again; the menu then goes.
            PutList(kFileKey, {a}, 1);
        }
        // Written through, the other program's last list stays; kept in memory, the menu's
        // stale list overwrites it at the end.
        std::vector<std::string> expected =
            writeThrough ? std::vector<std::string>{a} : std::vector<std::string>{c, a};
        EXPECT_EQ(expected, GetList(kFileKey));
    }
}

TEST_F(HistoryWriteThroughTest, VanishedEntriesAndClearingAreWrittenAtOnce) {
    TempFolder dir("hiswt");
    std::string kept = dir.path() + "kept.lzh", gone = dir.path() + "gone.lzh";
    WriteFileBytes(kept, "x");
    PutList(kFileKey, {gone, kept}, 2);
    PutList(kPathKey, {"C:\\folder"}, 1);
    auto menu = NewMenu();
    menu->WriteThrough = true;
    std::string reported;
    menu->OnHistorySelected = [&](THistoryMenu&, bool, const std::string& name, bool&) {
        reported = name;
    };
    menu->SetActive(true);
    ASSERT_GE(target.Count(), 1);
    menu->HistoryItemClick(target.Item(0));
    EXPECT_EQ(gone, reported);
    EXPECT_EQ(std::vector<std::string>{kept}, GetList(kFileKey));

    menu->OnCanDeleted = [](THistoryMenu&, bool& canDelete) { canDelete = true; };
    // Another program adds a folder; clearing keeps it.
    PutList(kPathKey, {"C:\\other", "C:\\folder"}, 2);
    menu->DeleteHistoryClick(target.Item(0));
    EXPECT_TRUE(GetList(kFileKey).empty());
    EXPECT_EQ((std::vector<std::string>{"C:\\other", "C:\\folder"}), GetList(kPathKey));
}

TEST_F(HistoryWriteThroughTest, ABrokenValueStillBuildsWhatCanBeRead) {
    PutList(kFileKey, {"C:\\a.lzh"}, 1);
    auto menu = NewMenu();
    menu->WriteThrough = true;
    menu->SetActive(true);
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, kPathKey.c_str(), 0, KEY_ALL_ACCESS,
                                           &key) == ERROR_SUCCESS
                                 ? ERROR_SUCCESS
                                 : RegCreateKeyA(HKEY_CURRENT_USER, kPathKey.c_str(), &key));
    RegSetValueExA(key, "Count", 0, REG_SZ, reinterpret_cast<const BYTE*>("1"), 2);
    RegCloseKey(key);
    EXPECT_ANY_THROW(menu->BuildMenu());
    EXPECT_TRUE(target.Enabled);
    EXPECT_EQ(3, target.Count()) << "the archive, a separator and the clear item";
}
