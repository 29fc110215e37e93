// Quiet file-system questions and locale comparisons against the real platform.
#include "support/WinTestSupport.h"
#include "util/FileProbe.h"
#include "util/LocaleText.h"

#include <gtest/gtest.h>
#include <windows.h>

using namespace testing_support;

TEST(FileProbe, FilesFoldersAndSizes) {
    TempFolder dir("probe");
    std::string file = dir.path() + "表示.txt";
    std::string empty = dir.path() + "empty.lzh";
    WriteFileBytes(file, "12345");
    WriteFileBytes(empty, "");

    EXPECT_TRUE(FolderExists(dir.path()));
    EXPECT_FALSE(FolderExists(file));
    EXPECT_TRUE(FileExistsQuiet(file));
    EXPECT_FALSE(FileExistsQuiet(dir.path()));
    EXPECT_FALSE(FileExistsQuiet(dir.path() + "none"));
    EXPECT_EQ(0u, FileAttributesQuiet(dir.path() + "none"));
    EXPECT_NE(0u, FileAttributesQuiet(file));
    EXPECT_EQ(5u, FileSizeQuiet(file));
    EXPECT_TRUE(IsEmptyFile(empty));
    EXPECT_FALSE(IsEmptyFile(file));
    EXPECT_FALSE(IsEmptyFile(dir.path() + "none"));
}

TEST(FileProbe, Drives) {
    EXPECT_TRUE(IsDriveReady("C:\\"));
    EXPECT_TRUE(IsDriveReady("\\\\server\\share"));
    EXPECT_FALSE(IsRemovableDrive("\\\\server\\share"));
    EXPECT_FALSE(IsRemovableDrive("C:\\windows"));
    EXPECT_GT(DiskTotalBytes("c:\\windows"), 0.0);
    EXPECT_GE(DiskTotalBytes("C:\\"), DiskFreeBytes("C:\\"));
    // A drive letter that is not mapped is simply absent: no box, no error.
    EXPECT_FALSE(IsDriveReady("Q:\\"));
    EXPECT_EQ(0.0, DiskTotalBytes("Q:\\"));
    EXPECT_FALSE(FolderExists("Q:\\"));
}

TEST(LocaleText, AsciiLettersOnlyFoldedForHistoryComparison) {
    EXPECT_EQ(0, SameTextAscii("C:\\A.LZH", "c:\\a.lzh"));
    EXPECT_NE(0, SameTextAscii("C:\\A.LZH", "C:\\B.LZH"));
    EXPECT_LT(SameTextAscii("a", "B"), 0);
    // Full-width letters keep their case: "Ａ" 82 60 and "ａ" 82 81.
    EXPECT_NE(0, SameTextAscii("\x82\x60", "\x82\x81"));
    // "ソ" (83 5C) must not be taken for "ｿ" plus a folded backslash.
    EXPECT_NE(0, SameTextAscii("ソ", "\x83\x7c"));
    EXPECT_EQ(0, CompareTextIgnoreCase("Readme.TXT", "README.txt"));
    EXPECT_NE(0, CompareTextIgnoreCase("表示", "表"));
}
