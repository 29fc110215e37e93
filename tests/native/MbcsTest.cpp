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
