// The archive open dialog's portable rules: its folder history, the folder as it is saved, how
// many stored entries are read, the chosen files and the filter.
#include <gtest/gtest.h>

#include "opendlg/OpenDialogRules.h"
#include "util/Mbcs.h"

namespace {

int AsciiCompare(const std::string& a, const std::string& b) {
    return mbcs::AsciiLower(a).compare(mbcs::AsciiLower(b));
}

using List = std::vector<std::string>;

} // namespace

TEST(FolderHistory, AddingMovesMergesAndBounds) {
    struct Case {
        List before;
        const char* path;
        bool atTop;
        int maxCount;
        List after;
    } cases[] = {
        // An entry that is there moves to the top instead of being doubled, in the new spelling.
        {{"C:\\A", "C:\\B", "C:\\C"}, "c:\\b", true, 10, {"c:\\b", "C:\\A", "C:\\C"}},
        // The eleventh pushes out the oldest.
        {{"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"},
         "new",
         true,
         10,
         {"new", "0", "1", "2", "3", "4", "5", "6", "7", "8"}},
        // "C:\" is kept as "C:", one trailing separator removed.
        {{}, "C:\\", true, 10, {"C:"}},
        {{"C:\\A"}, "D:\\Data\\", false, 10, {"C:\\A", "D:\\Data"}},
        {{"C:\\A", "C:\\B"}, "C:\\B\\", false, 2, {"C:\\A", "C:\\B"}},
        // A trail byte equal to "\" is no separator: 表 is 95 5C.
        {{}, "C:\\表", true, 10, {"C:\\表"}},
        // Entries read back from the registry may keep a trailing separator or come twice: every
        // one naming the same folder goes.
        {{"C:\\A", "D:\\Data\\", "C:\\B"}, "d:\\data", true, 10, {"d:\\data", "C:\\A", "C:\\B"}},
        {{"C:\\A", "C:\\B", "c:\\a\\"}, "C:\\A", false, 10, {"C:\\B", "C:\\A"}},
        // A doubled separator names the same folder.
        {{"D:\\Data\\"}, "D:\\Data\\\\", true, 10, {"D:\\Data"}},
        {{}, "\\\\server\\share\\\\", true, 10, {"\\\\server\\share"}},
    };
    for (const Case& c : cases) {
        List history = c.before;
        AddToFolderHistory(history, c.path, c.atTop, c.maxCount, AsciiCompare);
        EXPECT_EQ(c.after, history) << c.path;
    }
}

TEST(FolderHistory, TheShownFolderIsFoundAsStored) {
    List history = {"C:", "D:\\Data"};
    EXPECT_TRUE(IsInFolderHistory(history, "C:\\", AsciiCompare));
    EXPECT_TRUE(IsInFolderHistory(history, "d:\\data", AsciiCompare));
    EXPECT_TRUE(IsInFolderHistory(history, "D:\\Data\\", AsciiCompare));
    EXPECT_FALSE(IsInFolderHistory(history, "D:\\", AsciiCompare));
    EXPECT_FALSE(IsInFolderHistory({}, "C:\\", AsciiCompare));
}

TEST(FolderHistory, ShownFolderText) {
    struct Case {
        const char* folder;
        const char* shown;
    } cases[] = {
        {"C:\\", "C:\\"},
        {"C:", "C:\\"},
        {"C:\\Temp\\", "C:\\Temp"},
        {"C:\\Temp", "C:\\Temp"},
        {"", ""},
        {"\\\\server\\share\\", "\\\\server\\share"},
        {"C:\\\\", "C:\\"},
        {"C:\\Temp\\/", "C:\\Temp"},
        // Only a drive gets its separator back: not two other bytes, nor 表 (95 5C).
        {"ab", "ab"},
        {"b\x83", "b\x83"},
        {"\x95\x5C", "\x95\x5C"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.shown, ShownFolderText(c.folder)) << c.folder;
}

TEST(StoredCount, BrokenCountsReadWhatIsThere) {
    EXPECT_EQ(std::optional<int>(3), TrustedCount(3, 4));
    EXPECT_EQ(std::optional<int>(0), TrustedCount(0, 0));
    EXPECT_EQ(std::optional<int>(4), TrustedCount(4, 4));
    // Missing, negative, or more than the key holds.
    EXPECT_EQ(std::nullopt, TrustedCount(std::nullopt, 4));
    EXPECT_EQ(std::nullopt, TrustedCount(-1, 4));
    EXPECT_EQ(std::nullopt, TrustedCount(0x7FFFFFFF, 4));
    EXPECT_EQ(std::nullopt, TrustedCount(5, 4));

    std::vector<bool> there = {true, true, false, true};
    auto present = [&](int i) { return i < int(there.size()) && there[size_t(i)]; };
    EXPECT_EQ(2, PresentRun(4, present));
    EXPECT_EQ(1, PresentRun(1, present));
    EXPECT_EQ(0, PresentRun(0, present));
    // However large the limit, the run ends at the first entry that is not there.
    EXPECT_EQ(2, PresentRun(0xFFFFFFFFu, present));
}

TEST(ChosenFiles, OneOrSeveral) {
    struct Case {
        std::string buffer;
        List files;
    } cases[] = {
        {std::string("C:\\Data\\a.lzh\0\0", 15), {"C:\\Data\\a.lzh"}},
        {std::string("C:\\Data\0a.lzh\0b.zip\0\0", 21), {"C:\\Data\\a.lzh", "C:\\Data\\b.zip"}},
        // A root keeps one separator.
        {std::string("C:\\\0a.lzh\0b.zip\0\0", 17), {"C:\\a.lzh", "C:\\b.zip"}},
        {std::string("\0\0", 2), {}},
        // A buffer without its final NULs was cut: the whole names are kept, the cut one goes.
        {std::string("C:\\x\0y.lzh\0y.tar.gz", 19), {"C:\\x\\y.lzh"}},
        {std::string("C:\\x\0y.tar", 10), {}},
        {std::string("C:\\x\\y.tar", 10), {}},
        // Without its last NUL only.
        {std::string("C:\\x\0y\0", 7), {"C:\\x\\y"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.files, ChosenFiles(c.buffer.data(), c.buffer.size())) << c.buffer;
}

TEST(ResultBuffer, HoldsTheFolderAndEveryNameTheBoxHolds) {
    // "C:\\Data" (8 with its NUL); the box: "a.lzh" (6), or "a.lzh" "b.zip" (16).
    EXPECT_EQ(29u, ResultBufferSize(8, 6));
    EXPECT_LE(std::string("C:\\Data\\a.lzh\0", 15).size(), ResultBufferSize(8, 6));
    EXPECT_LE(std::string("C:\\Data\0a.lzh\0b.zip\0\0", 21).size(), ResultBufferSize(8, 16));
    // Counted in characters: "書庫" is 3 with its NUL, and 5 bytes.
    EXPECT_LE(std::string("C:\\Data\\書庫\0", 14).size(), ResultBufferSize(8, 3));
}

TEST(FitLabelRows, EveryLabelShowsWholeBesideItsField) {
    struct Case {
        const char* what;
        std::vector<LabelRow> rows;
        std::vector<LabelFit> fits;
    } cases[] = {
        {"everything fits: nothing moves",
         {{10, 60, 50, 80, 300}, {10, 60, 58, 80, 300}},
         {{60, 80}, {60, 80}}},
        {"one text too long: its group moves right together, keeping the right edges",
         {{10, 60, 90, 80, 300}, {10, 60, 40, 80, 250}, {10, 50, 40, 70, 200}},
         {{90, 104}, {60, 104}, {50, 70}}},
        {"a label over its field is cut back to the gap, never below its text",
         {{10, 100, 40, 80, 300}, {10, 100, 75, 81, 300}},
         {{66, 80}, {75, 89}}},
        {"a field never crosses its right edge", {{10, 20, 200, 80, 150}}, {{200, 150}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<LabelFit> fits = FitLabelRows(c.rows, 4);
        ASSERT_EQ(c.fits.size(), fits.size());
        for (std::size_t i = 0; i < fits.size(); ++i) {
            EXPECT_EQ(c.fits[i].labelWidth, fits[i].labelWidth) << i;
            EXPECT_EQ(c.fits[i].fieldLeft, fits[i].fieldLeft) << i;
        }
    }
}

TEST(FilterBuffer, BarsBecomeNulsButNeverATrailByte) {
    EXPECT_EQ(std::string("a\0*.a\0\0\0", 8), FilterBuffer("a|*.a|"));
    EXPECT_EQ(std::string("a\0*.a\0\0", 7), FilterBuffer("a|*.a"));
    EXPECT_EQ("", FilterBuffer(""));
    // ポ is 83 7C: its trail byte equals "|".
    EXPECT_EQ(std::string("\x83\x7C\0*.p\0\0", 8), FilterBuffer("ポ|*.p"));
}
