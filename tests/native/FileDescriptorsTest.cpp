// File group descriptors of a drag, whole and damaged, and the names their items get inside the
// drop's folder.
#include "shell/FileDescriptors.h"

#include <gtest/gtest.h>

using namespace vfiles;

namespace {

std::u16string Joined(const std::vector<std::u16string>& parts) {
    std::u16string out;
    for (const std::u16string& part : parts)
        out += (out.empty() ? u"" : u"\\") + part;
    return out;
}

std::string Utf8(std::u16string_view text) {
    std::string out;
    for (char16_t c : text)
        out += c < 0x80 ? std::string(1, char(c)) : "<" + std::to_string(unsigned(c)) + ">";
    return out;
}

FileGroup Parse(const std::string& block, bool wide = true) {
    // Code-page names are read as Latin-1 here: each byte one character.
    auto latin1 = [](std::string_view bytes) {
        std::u16string wide;
        for (unsigned char c : bytes)
            wide.push_back(c);
        return wide;
    };
    return ParseFileGroup(reinterpret_cast<const std::uint8_t*>(block.data()), block.size(), wide,
                          latin1);
}

} // namespace

TEST(FileDescriptors, NamesNeverLeaveTheDropFolder) {
    const std::u16string longName = std::u16string(300, u'a') + u".txt";
    const struct {
        std::u16string name;
        std::u16string safe;
    } rows[] = {
        {u"memo.txt", u"memo.txt"},
        {u"写真\\旅行/海.jpg", u"写真\\旅行\\海.jpg"},
        {u"..\\..\\x", u"x"},
        {u"a\\..\\..\\b\\.\\c", u"a\\b\\c"},
        {u"C:\\Windows\\win.ini", u"C_\\Windows\\win.ini"},
        {u"\\\\server\\share\\a.txt", u"server\\share\\a.txt"},
        {u"\\\\?\\C:\\x", u"_\\C_\\x"},
        {u"/etc/passwd", u"etc\\passwd"},
        {u"CON", u"_CON"},
        {u"nul.txt", u"_nul.txt"},
        {u"Aux", u"_Aux"},
        {u"COM1", u"_COM1"},
        {u"lpt9.log", u"_lpt9.log"},
        {u"COM\u00B9.txt", u"_COM\u00B9.txt"},
        {u"CON .txt", u"_CON .txt"},
        {u"conout$", u"_conout$"},
        {u"dir\\PRN\\a", u"dir\\_PRN\\a"},
        {u"CONSOLE.txt", u"CONSOLE.txt"},
        {u"COM10", u"COM10"},
        {u"a.txt. . .", u"a.txt"},
        {u"CON.", u"_CON"},
        {u"dir. \\file", u"dir\\file"},
        {u"a\r\nb.txt", u"a__b.txt"},
        {u"a.txt:stream", u"a.txt_stream"},
        {u"x<>|?*\".txt", u"x______.txt"},
        {u"...", u"_"},
        {u"", u"_"},
        {u"\\", u"_"},
        {u" lead.txt", u" lead.txt"},
        {longName, std::u16string(250, u'a') + u".txt"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.safe, Joined(SafeComponents(row.name))) << Utf8(row.name);
}

TEST(FileDescriptors, LongNamesAreCutBetweenCharacters) {
    // A character outside the first plane ends where the name is cut: both halves go.
    std::u16string name = std::u16string(253, u'a') + u"\U0002000B" + u"b";
    auto parts = SafeComponents(name);
    ASSERT_EQ(1u, parts.size());
    EXPECT_EQ(std::u16string(253, u'a'), parts[0]);
    // A long extension is no extension: the name is cut at its end.
    auto cut = SafeComponents(u"a." + std::u16string(300, u'x'));
    EXPECT_EQ(254u, cut[0].size());
}

TEST(FileDescriptors, SecondNamesKeepTheExtension) {
    const struct {
        std::u16string name;
        unsigned n;
        std::u16string numbered;
    } rows[] = {
        {u"memo.txt", 2, u"memo (2).txt"}, {u"README", 3, u"README (3)"},
        {u".profile", 2, u".profile (2)"}, {u"archive.tar.gz", 12, u"archive.tar (12).gz"},
        {u"_CON", 2, u"_CON (2)"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.numbered, NumberedName(row.name, row.n)) << Utf8(row.name);
    const std::u16string longest = std::u16string(250, u'a') + u".txt";
    EXPECT_EQ(std::u16string(243, u'a') + u" (10000).txt", NumberedName(longest, 10000));
}

TEST(FileDescriptors, ItemsAreReadFromWideAndCodePageRecords) {
    std::vector<DescribedItem> items(3);
    items[0].name = u"写真";
    items[0].folder = true;
    items[1].name = u"写真\\海.jpg";
    items[1].size = 0x123456789ull;
    items[1].written = FileTime{0x89ABCDEF, 0x01D00000};
    items[1].created = FileTime{1, 2};
    items[2].name = u"memo.txt";
    items[2].size = 0;
    items[2].accessed = FileTime{3, 4};

    FileGroup group = Parse(BuildFileGroup(items));
    ASSERT_EQ(GroupVerdict::Items, group.verdict);
    ASSERT_EQ(3u, group.items.size());
    EXPECT_EQ(3u, group.count);
    for (std::size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i].name, group.items[i].name);
        EXPECT_EQ(items[i].folder, group.items[i].folder);
        EXPECT_EQ(items[i].size, group.items[i].size);
        EXPECT_EQ(items[i].created, group.items[i].created);
        EXPECT_EQ(items[i].accessed, group.items[i].accessed);
        EXPECT_EQ(items[i].written, group.items[i].written);
    }

    std::vector<DescribedItem> ansi(1);
    ansi[0].name = u"caf\u00E9.txt";
    group = Parse(BuildFileGroup(ansi, false), false);
    ASSERT_EQ(GroupVerdict::Items, group.verdict);
    EXPECT_EQ(u"caf\u00E9.txt", group.items[0].name);
    EXPECT_FALSE(group.items[0].size);
}

TEST(FileDescriptors, DamagedAndHugeGroupsListNothing) {
    std::vector<DescribedItem> two(2);
    two[0].name = u"a";
    two[1].name = u"b";
    const std::string whole = BuildFileGroup(two);
    const std::string empty(4, '\0');
    std::string overCount = BuildFileGroup({});
    overCount[0] = char(0x11); // 10001
    overCount[1] = char(0x27);
    std::vector<DescribedItem> most(kMostItems);
    const struct {
        const char* what;
        std::string block;
        GroupVerdict verdict;
        std::size_t items;
    } rows[] = {
        {"whole", whole, GroupVerdict::Items, 2},
        {"one record short", whole.substr(0, whole.size() - 1), GroupVerdict::Malformed, 0},
        {"no count", whole.substr(0, 3), GroupVerdict::Malformed, 0},
        {"no items", empty, GroupVerdict::Malformed, 0},
        {"more than ten thousand", overCount, GroupVerdict::TooMany, 0},
        {"ten thousand", BuildFileGroup(most), GroupVerdict::Items, kMostItems},
    };
    for (const auto& row : rows) {
        FileGroup group = Parse(row.block);
        EXPECT_EQ(row.verdict, group.verdict) << row.what;
        EXPECT_EQ(row.items, group.items.size()) << row.what;
    }
    EXPECT_EQ(10001u, Parse(overCount).count);
}

TEST(FileDescriptors, ANameFillingItsRecordEndsThere) {
    std::vector<DescribedItem> one(1);
    std::string block = BuildFileGroup(one);
    for (std::size_t i = 0; i < 260; ++i)
        block[4 + 72 + 2 * i] = 'x';
    EXPECT_EQ(std::u16string(260, u'x'), Parse(block).items[0].name);
}
