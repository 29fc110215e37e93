// Path and string routines on code page 932 paths.
#include "util/PathText.h"

#include <gtest/gtest.h>

TEST(PathText, TrailingSeparators) {
    EXPECT_EQ("", AddTrailingSeparator(""));
    EXPECT_EQ("C:\\a\\", AddTrailingSeparator("C:\\a"));
    EXPECT_EQ("C:\\a/", AddTrailingSeparator("C:\\a/"));
    EXPECT_EQ("C:/a/", AddTrailingSeparator("C:/a", '/'));
    // "表" ends in the byte 0x5C, which is no separator.
    EXPECT_EQ("C:\\表\\", AddTrailingSeparator("C:\\表"));
    EXPECT_EQ("C:\\表", RemoveTrailingSeparator("C:\\表"));
    EXPECT_EQ("C:\\表", RemoveTrailingSeparator("C:\\表\\"));
    EXPECT_EQ("C:", RemoveTrailingSeparator("C:\\"));
    EXPECT_EQ("C:\\a\\", RemoveTrailingSeparator("C:\\a\\\\"));
}

TEST(PathText, NormalizeFolderPath) {
    EXPECT_EQ("D:\\", NormalizeFolderPath("d"));
    EXPECT_EQ("C:\\", NormalizeFolderPath("C:"));
    EXPECT_EQ("C:\\", NormalizeFolderPath("C:\\"));
    EXPECT_EQ("C:\\Work", NormalizeFolderPath("C:\\Work\\"));
    EXPECT_EQ("C:\\ソ", NormalizeFolderPath("C:\\ソ"));
    EXPECT_EQ("\\\\srv\\share", NormalizeFolderPath("\\\\srv\\share\\"));
    EXPECT_EQ("1", NormalizeFolderPath("1"));
}

TEST(PathText, ComponentsOfPlainAndUncPaths) {
    std::string p = "C:\\Temp\\表示\\New\\";
    EXPECT_EQ(4, CountChar(p, '\\'));
    EXPECT_EQ("C:", PathComponent(p, 1));
    EXPECT_EQ("Temp", PathComponent(p, 2));
    EXPECT_EQ("表示", PathComponent(p, 3));
    EXPECT_EQ("New", PathComponent(p, 4));
    EXPECT_EQ("", PathComponent(p, 5));
    // A piece without a separator after it is never returned.
    EXPECT_EQ("", PathComponent("C:\\Temp\\New", 3));
    EXPECT_EQ("", PathComponent("C:\\\\Temp\\", 2));
    EXPECT_EQ("Temp", PathComponent("C:\\\\Temp\\", 3));

    std::string unc = "\\\\server\\share\\dir\\";
    EXPECT_TRUE(IsUncPath(unc));
    EXPECT_FALSE(IsUncPath("C:\\\\x"));
    EXPECT_FALSE(IsUncPath("\\x"));
    EXPECT_EQ("\\\\server", PathComponent(unc, 1));
    EXPECT_EQ("share", PathComponent(unc, 2));
    EXPECT_EQ("dir", PathComponent(unc, 3));
}

TEST(PathText, DbcsPosNeverStartsInsideACharacter) {
    // "ソ" is 83 5C and "表" 95 5C: the backslash search must skip both trail bytes.
    EXPECT_EQ(0, DbcsPos("\\", "ソ表"));
    EXPECT_EQ(5, DbcsPos("\\", "ソ表\\"));
    EXPECT_EQ(1, DbcsPos("ab", "abab"));
    EXPECT_EQ(0, DbcsPos("", "abc"));
    // 0x5C 0x5C inside "ソ\\" starts on the trail byte of "ソ" first.
    EXPECT_EQ(3, DbcsPos("\\", "ソ\\"));
    EXPECT_EQ(0, CountChar("ソ表", '\\'));
    EXPECT_TRUE(EndsWithChar("a\\", '\\'));
    EXPECT_FALSE(EndsWithChar("ソ", '\\'));
    EXPECT_FALSE(EndsWithChar("", '\\'));
}

TEST(PathText, FolderAndNameParts) {
    EXPECT_EQ("C:\\表\\", ExtractFilePath("C:\\表\\a.txt"));
    EXPECT_EQ("C:\\", ExtractFilePath("C:\\表"));
    EXPECT_EQ("", ExtractFilePath("name"));
    EXPECT_EQ("C:\\表", ExtractFileDir("C:\\表\\a.txt"));
    EXPECT_EQ("C:\\", ExtractFileDir("C:\\a.txt"));
    EXPECT_EQ("C:", ExtractFileDir("C:a.txt"));
    EXPECT_EQ("\\\\srv\\share", ExtractFileDir("\\\\srv\\share\\a"));
}
