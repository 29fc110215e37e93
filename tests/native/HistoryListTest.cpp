// History lists and the history menus' captions, without the platform.
#include "history/HistoryCaptions.h"
#include "history/HistoryComboRules.h"
#include "history/HistoryList.h"
#include "history/HistoryLoad.h"
#include "util/Mbcs.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

// Stands in for the locale's comparison: ASCII letters without case.
int CompareAsciiIgnoringCase(const std::string& a, const std::string& b) {
    return mbcs::AsciiLower(a).compare(mbcs::AsciiLower(b));
}

THistoryList NewList() {
    return THistoryList(&CompareAsciiIgnoringCase);
}

// A key's string values "0", "1", ... as the registry hands them over; records what is read.
struct StoredValues {
    std::vector<std::string> values;
    std::vector<std::string> names = {};

    std::optional<std::string> operator()(const std::string& name) {
        names.push_back(name);
        for (size_t i = 0; i < values.size(); ++i)
            if (name == std::to_string(i))
                return values[i];
        return std::nullopt;
    }
};

// Loads stored values "0" .. "n-1" the way the menu reads the registry.
void LoadStored(THistoryList& list, const std::vector<std::string>& stored) {
    StoredValues key{stored};
    LoadHistoryList(list, static_cast<int>(stored.size()), stored.size() + 1, std::ref(key));
}

std::vector<std::string> Numbers(int from, int to) {
    std::vector<std::string> out;
    for (int i = from; i <= to; ++i)
        out.push_back(std::to_string(i));
    return out;
}

} // namespace

TEST(HistoryList, NewEntriesGoInFront) {
    THistoryList list = NewList();
    list.Add("C:\\a.lzh");
    list.Add("C:\\b.lzh");
    ASSERT_EQ(2, list.Count());
    EXPECT_EQ("C:\\b.lzh", list[0]);
    EXPECT_EQ("C:\\a.lzh", list[1]);
}

TEST(HistoryList, DuplicateMovesToFrontKeepingItsSpelling) {
    THistoryList list = NewList();
    list.Add("C:\\Data\\A.LZH");
    list.Add("C:\\b.lzh");
    list.Add("c:\\data\\a.lzh");
    ASSERT_EQ(2, list.Count());
    EXPECT_EQ("C:\\Data\\A.LZH", list[0]);
    EXPECT_EQ("C:\\b.lzh", list[1]);
    EXPECT_EQ(0, list.IndexOf("C:\\DATA\\a.lzh"));
    EXPECT_EQ(-1, list.IndexOf("C:\\c.lzh"));
}

TEST(HistoryList, KeepsTheNewest32) {
    THistoryList list = NewList();
    for (const std::string& s : Numbers(0, 39))
        list.Add(s);
    ASSERT_EQ(32, list.Count());
    EXPECT_EQ("39", list[0]);
    EXPECT_EQ("8", list[31]);
    // A duplicate does not push anything out.
    list.Add("20");
    EXPECT_EQ(32, list.Count());
    EXPECT_EQ("20", list[0]);
    EXPECT_EQ("8", list[31]);
}

TEST(HistoryList, StoredCount40LoadsValues0To31) {
    THistoryList list = NewList();
    LoadStored(list, Numbers(0, 39));
    EXPECT_EQ(Numbers(0, 31), list.Entries());
}

TEST(HistoryList, StoredSpellingsMergeAtThePositionOfTheNewerValue) {
    std::vector<std::string> stored = {"C:\\0.lzh", "C:\\1.lzh", "c:\\a.lzh", "C:\\3.lzh",
                                       "C:\\4.lzh", "C:\\A.LZH", "C:\\6.lzh"};
    THistoryList list = NewList();
    LoadStored(list, stored);
    std::vector<std::string> expected = {"C:\\0.lzh", "C:\\1.lzh", "C:\\A.LZH",
                                         "C:\\3.lzh", "C:\\4.lzh", "C:\\6.lzh"};
    EXPECT_EQ(expected, list.Entries());
}

TEST(HistoryList, DeleteAndClear) {
    THistoryList list = NewList();
    LoadStored(list, {"a", "b", "c"});
    list.Delete(1);
    EXPECT_EQ((std::vector<std::string>{"a", "c"}), list.Entries());
    list.Delete(-1);
    list.Delete(2);
    EXPECT_EQ(2, list.Count());
    list.Clear();
    EXPECT_EQ(0, list.Count());
}

TEST(HistoryCaptions, WidthFollowsTheLastNumber) {
    EXPECT_EQ(0, HistoryCaptionWidth(0));
    EXPECT_EQ(3, HistoryCaptionWidth(1));
    EXPECT_EQ(3, HistoryCaptionWidth(10));
    EXPECT_EQ(4, HistoryCaptionWidth(11));
    EXPECT_EQ(4, HistoryCaptionWidth(32));
    EXPECT_EQ(5, HistoryCaptionWidth(101));
}

TEST(HistoryCaptions, ElevenEntriesAlignTheirNumbersOnTheRight) {
    std::vector<std::string> paths;
    for (int i = 0; i < 11; ++i)
        paths.push_back("C:\\" + std::to_string(i) + ".lzh");
    std::vector<std::string> captions = NumberedHistoryCaptions(paths);
    ASSERT_EQ(11u, captions.size());
    EXPECT_EQ(" &0 C:\\0.lzh", captions[0]);
    EXPECT_EQ(" &9 C:\\9.lzh", captions[9]);
    EXPECT_EQ("&10 C:\\10.lzh", captions[10]);
}

TEST(HistoryCaptions, TenEntriesGetNoLeadingSpace) {
    std::vector<std::string> paths;
    for (int i = 0; i < 10; ++i)
        paths.push_back("C:\\表示" + std::to_string(i));
    std::vector<std::string> captions = NumberedHistoryCaptions(paths);
    ASSERT_EQ(10u, captions.size());
    EXPECT_EQ("&0 C:\\表示0", captions[0]);
    EXPECT_EQ("&9 C:\\表示9", captions[9]);
}

TEST(HistoryCaptions, FieldIsPaddedOnTheLeft) {
    EXPECT_EQ("   フォルダで開く(&P)", FormatHistoryCaption(3, "", "フォルダで開く(&P)"));
    EXPECT_EQ("&D 履歴を削除", FormatHistoryCaption(3, "&D ", "履歴を削除"));
    EXPECT_EQ(" &D 履歴を削除", FormatHistoryCaption(4, "&D ", "履歴を削除"));
    EXPECT_EQ("&D x", FormatHistoryCaption(0, "&D ", "x"));
    EXPECT_EQ("&12 x", FormatHistoryCaption(3, "&12 ", "x"));
    EXPECT_EQ("&7 ", HistoryNumberPrefix(7));
}

TEST(HistoryCaptions, AmpersandsInPathsAreShownNotUnderlined) {
    auto captions = NumberedHistoryCaptions({"C:\\Tom & Jerry.lzh", "C:\\表&示.lzh"});
    EXPECT_EQ("&0 C:\\Tom && Jerry.lzh", captions[0]);
    EXPECT_EQ("&1 C:\\表&&示.lzh", captions[1]);
}

TEST(HistoryCaptions, BasePathIsLeftOut) {
    EXPECT_EQ("sub\\a.lzh", ShownHistoryPath("C:\\Base\\sub\\a.lzh", "c:\\BASE\\"));
    EXPECT_EQ("D:\\Base\\a.lzh", ShownHistoryPath("D:\\Base\\a.lzh", "c:\\base\\"));
    EXPECT_EQ("C:\\Base\\a.lzh", ShownHistoryPath("C:\\Base\\a.lzh", ""));
    EXPECT_EQ("C:\\B", ShownHistoryPath("C:\\B", "C:\\Base\\"));
}

TEST(HistoryCaptions, ShownRestIsCutAt260BytesOnACharacterBoundary) {
    // 259 single bytes, then "表" (95 5C): the character would end at byte 261.
    std::string rest = std::string(259, 'x') + "表" + "tail";
    std::string shown = ShownHistoryPath("C:\\B\\" + rest, "C:\\B\\");
    EXPECT_EQ(std::string(259, 'x'), shown);
    std::string even = std::string(258, 'x') + "表" + "tail";
    EXPECT_EQ(std::string(258, 'x') + "表", ShownHistoryPath("C:\\B\\" + even, "C:\\B\\"));
    // Without a base path the entry is shown whole.
    EXPECT_EQ(rest, ShownHistoryPath(rest, ""));
}

TEST(HistoryComboRules, RemovableDrivesAreAskedOnlyAboutTheirRoot) {
    EXPECT_EQ("A:\\", ShellLookupPath("A:\\", true, false, "C:\\prog\\"));
    EXPECT_EQ("C:\\prog\\", ShellLookupPath("A:\\docs", true, true, "C:\\prog\\"));
    EXPECT_EQ("C:\\docs", ShellLookupPath("C:\\docs", false, true, "C:\\prog\\"));
    EXPECT_EQ("C:\\prog\\", ShellLookupPath("C:\\gone", false, false, "C:\\prog\\"));
}

TEST(HistoryComboRules, DisplayNameOnlyForExistingDriveRoots) {
    EXPECT_TRUE(ShowsDisplayName("C:\\", "ローカル ディスク (C:)", true));
    EXPECT_FALSE(ShowsDisplayName("C:\\", "", true));
    EXPECT_FALSE(ShowsDisplayName("Q:\\", "Q:\\", false));
    EXPECT_FALSE(ShowsDisplayName("C:\\a", "a", true));
}

TEST(HistoryLoad, MenuListReadsNoMoreValuesThanTheKeyHolds) {
    struct Case {
        int count;
        std::optional<std::uint32_t> valueCount;
        std::vector<std::string> read; // the names asked for, in order
    };
    const Case cases[] = {
        {3, 4, {"2", "1", "0"}},
        {7, 3, {"2", "1", "0"}},
        {3, 2, {"1", "0"}},
        {5, std::nullopt, {"4", "3", "2", "1", "0"}},
        {0, 4, {}},
        {-1, 4, {}},
        {INT_MIN, 4, {}},
    };
    for (const Case& c : cases) {
        StoredValues key{{"C:\\0.lzh", "C:\\1.lzh"}};
        THistoryList list = NewList();
        LoadHistoryList(list, c.count, c.valueCount, std::ref(key));
        EXPECT_EQ(c.read, key.names) << c.count;
    }
}

TEST(HistoryLoad, ComboItemsStopAtTheFirstEmptyValueAndMoveRepeatsToTheEnd) {
    struct Case {
        std::vector<std::string> values;
        int count, maxLength;
        std::vector<std::string> items;
    };
    const Case cases[] = {
        {{"a", "b", "c"}, 3, 9, {"a", "b", "c"}},
        {{"a", "b", "c"}, 3, 2, {"a", "b"}},
        {{"a", "b", "c"}, 2, 9, {"a", "b"}},
        {{"a", "", "c"}, 3, 9, {"a"}},
        {{"a", "b"}, 4, 9, {"a", "b"}},
        {{"a", "b", "A", "c"}, 4, 9, {"b", "A", "c"}},
        {{"a", "b"}, -1, 9, {}},
    };
    for (const Case& c : cases) {
        StoredValues key{c.values};
        EXPECT_EQ(c.items,
                  LoadHistoryItems(c.count, c.maxLength, std::ref(key), &CompareAsciiIgnoringCase))
            << c.values.size() << " " << c.count << " " << c.maxLength;
    }
}
