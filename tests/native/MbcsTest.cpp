// Double-byte-aware name and extension helpers.
#include "util/Mbcs.h"

#include <gtest/gtest.h>

TEST(Mbcs, TrailBackslashIsNoSeparator) {
    // "表示" is 95 5C 8E A6.
    EXPECT_EQ("表示.txt", mbcs::ExtractFileName("C:\\dir\\表示.txt"));
    EXPECT_EQ("表", mbcs::ExtractFileName("表"));
    EXPECT_EQ(std::string::npos, mbcs::LastDelimiter("表", "\\"));
    EXPECT_EQ(2u, mbcs::LastDelimiter("表\\", "\\"));
}

TEST(Mbcs, ExtensionComesFromTheNamePart) {
    EXPECT_EQ(".gz", mbcs::ExtractFileExt("C:\\a.b\\data.tar.gz"));
    EXPECT_EQ("", mbcs::ExtractFileExt("C:\\a.b\\data"));
    EXPECT_EQ("", mbcs::ExtractFileExt("a.b:c"));
    EXPECT_EQ(".", mbcs::ExtractFileExt("name."));
}

TEST(Mbcs, FoldingLeavesDoubleByteCharactersAlone) {
    // "ａ" is 82 81, "Ｚ" 82 79, "ソ" 83 5C: none of their bytes is folded.
    EXPECT_EQ("abc\x82\x81\x82\x79\x83\x5c", mbcs::AsciiLower("ABC\x82\x81\x82\x79\x83\x5c"));
    EXPECT_EQ("ABC\x82\x9a", mbcs::AsciiUpper("abc\x82\x9a"));
    // A lead byte at the very end is kept as it is.
    EXPECT_EQ("A\x82", mbcs::AsciiUpper("a\x82"));
}

TEST(Mbcs, FileNameUpperFoldsLettersOfEveryWidth) {
    struct Case {
        const char* lower;
        const char* upper;
    } cases[] = {
        {"c:\\dir\\a.lzh", "C:\\DIR\\A.LZH"},
        {"\x82\x81\x82\x9a", "\x82\x60\x82\x79"}, // full-width a, z -> A, Z
        {"\x83\xbf\x83\xd6", "\x83\x9f\x83\xb6"}, // Greek alpha, omega
        {"\x84\x70\x84\x7e", "\x84\x40\x84\x4e"}, // Cyrillic a, n
        {"\x84\x80\x84\x91", "\x84\x4f\x84\x60"}, // Cyrillic o, ya
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.upper, mbcs::FileNameUpper(c.lower)) << c.lower;
        EXPECT_EQ(c.upper, mbcs::FileNameUpper(c.upper)) << c.upper;
    }
}

TEST(Mbcs, FileNameUpperNeverFoldsATrailByteAlone) {
    // "ャ" is 83 61: folding its trail byte would make "ア" (83 41); "ソ" 83 5C stays too.
    EXPECT_EQ("\x83\x61.TXT", mbcs::FileNameUpper("\x83\x61.txt"));
    EXPECT_NE(mbcs::FileNameUpper("\x83\x61"), mbcs::FileNameUpper("\x83\x41"));
    EXPECT_EQ("\x83\x5c"
              "A",
              mbcs::FileNameUpper("\x83\x5c"
                                  "a"));
    // Half-width katakana and a lead byte at the very end are kept.
    EXPECT_EQ("\xb1"
              "B\x82",
              mbcs::FileNameUpper("\xb1"
                                  "b\x82"));
}
