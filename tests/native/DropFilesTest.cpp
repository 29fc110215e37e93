// File-name blocks and file-name maps of a drag, whole and damaged, and the drop effect rules.
#include "shell/DropFiles.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace dropfiles;

namespace {

// Stands in for the platform's conversion: UTF-16 to UTF-8, so that the names of a wide block
// can be compared with u8 literals.
std::string ToUtf8(std::u16string_view wide) {
    std::string out;
    for (std::size_t i = 0; i < wide.size(); ++i) {
        char32_t c = wide[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < wide.size())
            c = 0x10000 + ((c - 0xD800) << 10) + (wide[++i] - 0xDC00);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | c >> 6);
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | c >> 12);
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | c >> 18);
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::string U8(const char8_t* text) {
    return reinterpret_cast<const char*>(text);
}

std::vector<std::string> Parse(const std::string& block) {
    return ParseDropFiles(reinterpret_cast<const std::uint8_t*>(block.data()), block.size(),
                          ToUtf8);
}

std::vector<std::string> ParseList(const std::string& list, bool wide) {
    return ParseNameList(reinterpret_cast<const std::uint8_t*>(list.data()), list.size(), wide,
                         ToUtf8);
}

void SetOffset(std::string& block, std::uint32_t offset) {
    for (int i = 0; i < 4; ++i)
        block[i] = static_cast<char>((offset >> (8 * i)) & 0xFF);
}

using Names = std::vector<std::string>;

} // namespace

TEST(DropFiles, ByteNamesComeInOrder) {
    // "表示" is 95 5C 8E A6: the trail byte 5C is no separator and no terminator.
    Names names{"C:\\書庫\\表示.lzh", "C:\\a.txt", "\\\\server\\share\\b"};
    EXPECT_EQ(names, Parse(BuildDropFiles(names)));
}

TEST(DropFiles, WideNamesGoThroughTheConverter) {
    std::string block = BuildDropFilesWide({u"C:\\書庫\\表示テスト.lzh", u"D:\\x.txt", u"𠀋.zip"});
    Names expected{U8(u8"C:\\書庫\\表示テスト.lzh"), "D:\\x.txt", U8(u8"𠀋.zip")};
    EXPECT_EQ(expected, Parse(block));
}

TEST(DropFiles, HeaderFieldsAreRead) {
    std::string block = BuildDropFilesWide({u"a"}, -5, 70000);
    block[12] = 1;
    auto header =
        ReadDropFilesHeader(reinterpret_cast<const std::uint8_t*>(block.data()), block.size());
    ASSERT_TRUE(header);
    EXPECT_EQ(20u, header->namesOffset);
    EXPECT_EQ(-5, header->x);
    EXPECT_EQ(70000, header->y);
    EXPECT_TRUE(header->nonClient);
    EXPECT_TRUE(header->wide);
    EXPECT_FALSE(ReadDropFilesHeader(reinterpret_cast<const std::uint8_t*>(block.data()), 19));
}

TEST(DropFiles, OffsetOutsideTheListGivesNoNames) {
    std::string block = BuildDropFiles({"a", "b"});
    for (std::uint32_t offset :
         {std::uint32_t(block.size()), std::uint32_t(block.size() + 1), 0x7FFFFFFFu, 0xFFFFFFFFu}) {
        SetOffset(block, offset);
        EXPECT_EQ(Names{}, Parse(block)) << offset;
    }
}

TEST(DropFiles, OffsetInsideTheHeaderGivesNoNames) {
    // A drop point of "AAAA", "BBBB" would read as a name from inside the header.
    std::string block = BuildDropFiles({"a", "b"}, 0x41414141, 0x42424242);
    for (std::uint32_t offset : {0u, 1u, 4u, 16u, 19u}) {
        SetOffset(block, offset);
        EXPECT_EQ(Names{}, Parse(block)) << offset;
    }
}

TEST(DropFiles, ListMayStartAfterPadding) {
    std::string block = BuildDropFiles({"a", "b"});
    block.insert(20, "\x01\x02\x03\x04", 4);
    SetOffset(block, 24);
    EXPECT_EQ((Names{"a", "b"}), Parse(block));
}

TEST(DropFiles, BlocksTooShortOrMissingGiveNoNames) {
    EXPECT_EQ(Names{}, Parse(""));
    EXPECT_EQ(Names{}, Parse(std::string(19, '\0')));
    EXPECT_EQ(Names{}, ParseDropFiles(nullptr, 100, ToUtf8));
    EXPECT_EQ(Names{}, ParseNameList(nullptr, 100, false, ToUtf8));
}

TEST(DropFiles, EmptyListGivesNoNames) {
    EXPECT_EQ(Names{}, Parse(BuildDropFiles({})));
    EXPECT_EQ(Names{}, Parse(BuildDropFilesWide({})));
    // Only the header: the offset equals the size.
    EXPECT_EQ(Names{}, Parse(BuildDropFiles({}).substr(0, 20)));
}

TEST(DropFiles, MissingFinalTerminatorKeepsTheWholeNames) {
    std::string block = BuildDropFiles({"first", "second"});
    block.pop_back(); // the empty name that ends the list
    EXPECT_EQ((Names{"first", "second"}), Parse(block));
    block.pop_back(); // "second" loses its own terminator
    EXPECT_EQ((Names{"first"}), Parse(block));
}

TEST(DropFiles, EveryCutOfABlockGivesAPrefixOfWholeNames) {
    Names names{"C:\\表示.lzh", "bb", "C:\\ccc"};
    std::string bytes = BuildDropFiles(names);
    std::string wide = BuildDropFilesWide({u"C:\\表示.lzh", u"bb", u"C:\\ccc"});
    Names wideNames{U8(u8"C:\\表示.lzh"), "bb", "C:\\ccc"};
    for (std::size_t size = 0; size <= bytes.size(); ++size) {
        Names got = Parse(bytes.substr(0, size));
        ASSERT_LE(got.size(), names.size());
        EXPECT_TRUE(std::equal(got.begin(), got.end(), names.begin())) << size;
    }
    for (std::size_t size = 0; size <= wide.size(); ++size) {
        Names got = Parse(wide.substr(0, size));
        ASSERT_LE(got.size(), wideNames.size());
        EXPECT_TRUE(std::equal(got.begin(), got.end(), wideNames.begin())) << size;
    }
    EXPECT_EQ(names, Parse(bytes));
    EXPECT_EQ(wideNames, Parse(wide));
}

TEST(DropFiles, OddLengthWideBlockIgnoresTheLastByte) {
    std::string block = BuildDropFilesWide({u"ab", u"cd"});
    block.pop_back(); // the final terminator is cut in half
    EXPECT_EQ((Names{"ab", "cd"}), Parse(block));
    block = BuildDropFilesWide({u"ab", u"cd"});
    block.resize(block.size() - 5); // "cd" ends in the middle of its terminator
    EXPECT_EQ((Names{"ab"}), Parse(block));
    // An odd list offset still reads whole 16-bit units.
    block = BuildDropFilesWide({u"xy"});
    block.insert(20, 1, '\x7F');
    SetOffset(block, 21);
    EXPECT_EQ((Names{"xy"}), Parse(block));
}

TEST(DropFiles, NamesAfterTheEmptyNameAreNotRead) {
    std::string block = BuildDropFiles({"a"}) + "hidden" + std::string(2, '\0');
    EXPECT_EQ((Names{"a"}), Parse(block));
}

TEST(DropFiles, WideNamesNeedAConverter) {
    std::string block = BuildDropFilesWide({u"a"});
    auto* bytes = reinterpret_cast<const std::uint8_t*>(block.data());
    EXPECT_EQ(Names{}, ParseDropFiles(bytes, block.size(), WideToAnsi{}));
    // A name the converter cannot express is left out; the others stay.
    block = BuildDropFilesWide({u"keep", u"drop", u"also"});
    auto skipDrop = [](std::u16string_view w) { return w == u"drop" ? "" : ToUtf8(w); };
    bytes = reinterpret_cast<const std::uint8_t*>(block.data());
    EXPECT_EQ((Names{"keep", "also"}), ParseDropFiles(bytes, block.size(), skipDrop));
}

TEST(DropFiles, NameMapsOfBytesAndWideNames) {
    EXPECT_EQ((Names{"Copy of a.txt", "表.txt"}),
              ParseList(BuildNameList({"Copy of a.txt", "表.txt"}), false));
    EXPECT_EQ((Names{U8(u8"新しい.txt")}), ParseList(BuildNameListWide({u"新しい.txt"}), true));
    EXPECT_EQ(Names{}, ParseList(BuildNameList({}), false));
    EXPECT_EQ(Names{}, ParseList("", false));
}

TEST(DropFiles, NameMapWithoutTerminatorKeepsOnlyWholeNames) {
    EXPECT_EQ((Names{"one", "two"}), ParseList(std::string("one\0two\0", 8), false));
    EXPECT_EQ((Names{"one"}), ParseList(std::string("one\0two", 7), false));
    EXPECT_EQ(Names{}, ParseList("unterminated", false));
    EXPECT_EQ(Names{}, ParseList(std::string("o\0n", 3), true)); // one unit, no terminator
}

TEST(DropFiles, MapCountMismatchIsCleared) {
    EXPECT_EQ((Names{"x", "y"}), MatchMappedNames({"x", "y"}, 2));
    EXPECT_EQ(Names{}, MatchMappedNames({"x"}, 2));
    EXPECT_EQ(Names{}, MatchMappedNames({"x", "y", "z"}, 2));
    EXPECT_EQ(Names{}, MatchMappedNames({}, 0));
}

TEST(DropFiles, ShiftStateFromKeyState) {
    EXPECT_EQ(0u, ShiftStateFromKeyState(0));
    EXPECT_EQ(TShiftState(ssLeft | ssShift), ShiftStateFromKeyState(0x01 | 0x04));
    EXPECT_EQ(TShiftState(ssRight | ssCtrl | ssAlt), ShiftStateFromKeyState(0x02 | 0x08 | 0x20));
    EXPECT_EQ(TShiftState(ssMiddle), ShiftStateFromKeyState(0x10 | 0x40));
}

TEST(DropFiles, DragTypesMaskTheAllowedEffects) {
    EXPECT_EQ(3u, MaskDropEffects(7, dtCopy | dtMove));
    EXPECT_EQ(4u, MaskDropEffects(7 | kEffectScroll, dtLink));
    EXPECT_EQ(0u, MaskDropEffects(dtLink, dtCopy | dtMove));
}

TEST(DropFiles, EffectChoice) {
    const std::uint32_t all = kEffectCopy | kEffectMove | kEffectLink;
    EXPECT_EQ(kEffectCopy, ChooseDropEffect(ssLeft, all));
    EXPECT_EQ(kEffectMove, ChooseDropEffect(ssShift, all));
    EXPECT_EQ(kEffectLink, ChooseDropEffect(ssShift | ssCtrl, all));
    EXPECT_EQ(kEffectCopy, ChooseDropEffect(ssCtrl, all));
    // Shift and Ctrl without link fall back to the order of preference, not to move.
    EXPECT_EQ(kEffectCopy, ChooseDropEffect(ssShift | ssCtrl, kEffectCopy | kEffectMove));
    EXPECT_EQ(kEffectMove, ChooseDropEffect(ssShift | ssCtrl, kEffectMove));
    EXPECT_EQ(kEffectCopy, ChooseDropEffect(ssShift, kEffectCopy | kEffectLink));
    EXPECT_EQ(kEffectMove, ChooseDropEffect(0, kEffectMove | kEffectLink));
    EXPECT_EQ(kEffectLink, ChooseDropEffect(0, kEffectLink));
    EXPECT_EQ(kEffectNone, ChooseDropEffect(ssShift | ssCtrl, 0));
}

TEST(DropFiles, ReadOnlyDragCursorFollowsCtrlWithinWhatTheSourceAllows) {
    const std::uint32_t copyMove = kEffectCopy | kEffectMove;
    struct {
        TShiftState shift;
        std::uint32_t allowed;
        std::uint32_t cursor;
    } cases[] = {
        {ssLeft, copyMove, kEffectMove},
        {ssLeft | ssShift, copyMove, kEffectMove},
        {ssLeft | ssCtrl, copyMove, kEffectCopy},
        {ssRight | ssCtrl | ssShift, copyMove | kEffectLink, kEffectCopy},
        // Read-only media: copy is all there is, with or without Ctrl.
        {ssLeft, kEffectCopy, kEffectCopy},
        {ssLeft | ssCtrl, kEffectCopy, kEffectCopy},
        {ssLeft | ssCtrl, kEffectMove, kEffectMove},
        {ssLeft, kEffectLink, kEffectNone},
        {ssLeft, 0, kEffectNone},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.cursor, ReadOnlyDragCursor(c.shift, c.allowed)) << c.shift << " " << c.allowed;
}

TEST(DropFiles, AutoScrollOnlyNearEdgesOfScrollingAxes) {
    // 100 × 80 client area, margin 10.
    EXPECT_FALSE(AutoScrollSteps(50, 40, 100, 80, 10, true, true).Any());
    auto corner = AutoScrollSteps(2, 75, 100, 80, 10, true, true);
    EXPECT_TRUE(corner.left && corner.down && !corner.up && !corner.right);
    auto top = AutoScrollSteps(95, 9, 100, 80, 10, false, true);
    EXPECT_TRUE(top.up && !top.right && !top.left);
    EXPECT_FALSE(AutoScrollSteps(95, 40, 100, 80, 10, false, true).Any());
    EXPECT_TRUE(AutoScrollSteps(90, 40, 100, 80, 10, true, false).right);
    EXPECT_FALSE(AutoScrollSteps(89, 10, 100, 80, 10, true, true).Any());
}
