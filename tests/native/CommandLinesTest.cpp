// The companion's command lines, the list-file text and the work folder's name.
#include "handoff/CommandLines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(CommandLines, CompanionLiesInTheProgramFolder) {
    EXPECT_EQ("C:\\Tools\\Morva.exe", CompanionPathIn("C:\\Tools\\"));
    EXPECT_EQ("C:\\Tools\\Morva.exe", CompanionPathIn("C:\\Tools"));
    EXPECT_EQ("C:\\Morva.exe", CompanionPathIn("C:\\"));
    // "表" is 95 5C: its trail byte is no separator, so one is still added.
    EXPECT_EQ("C:\\表\\Morva.exe", CompanionPathIn("C:\\表"));
}

TEST(CommandLines, ExecutableIsQuotedOnlyWithASpace) {
    EXPECT_EQ("C:\\Tools\\Morva.exe", ExecutableToken("C:\\Tools\\Morva.exe"));
    EXPECT_EQ("\"C:\\Program Files\\Tools\\Morva.exe\"",
              ExecutableToken("C:\\Program Files\\Tools\\Morva.exe"));
    EXPECT_EQ("\"C:\\Tools\\Morva.exe \"", ExecutableToken("C:\\Tools\\Morva.exe "));
    EXPECT_EQ("C:\\表示\\Morva.exe", ExecutableToken("C:\\表示\\Morva.exe"));
    // Only the byte 0x20 counts; a full-width space or a tab is left alone.
    EXPECT_EQ("C:\\a　b\\Morva.exe", ExecutableToken("C:\\a　b\\Morva.exe"));
    EXPECT_EQ("C:\\a\tb\\Morva.exe", ExecutableToken("C:\\a\tb\\Morva.exe"));
}

TEST(CommandLines, QuickOperations) {
    EXPECT_EQ("C:\\Tools\\Morva.exe /QA \\ @C:\\WINDOWS\\TEMP\\MRV1A2B.TMP",
              QuickCompressCommand("C:\\Tools\\Morva.exe", "C:\\WINDOWS\\TEMP\\MRV1A2B.TMP"));
    EXPECT_EQ("C:\\Tools\\Morva.exe /QE \\ @C:\\WINDOWS\\TEMP\\MRV1A2B.TMP",
              QuickExtractCommand("C:\\Tools\\Morva.exe", "C:\\WINDOWS\\TEMP\\MRV1A2B.TMP"));
    EXPECT_EQ("\"C:\\Program Files\\Tools\\Morva.exe\" /QA \\ @C:\\TEMP\\MRV1.TMP",
              QuickCompressCommand(ExecutableToken("C:\\Program Files\\Tools\\Morva.exe"),
                                   "C:\\TEMP\\MRV1.TMP"));
}

TEST(CommandLines, ViewAndSends) {
    const std::string token = "C:\\Tools\\Morva.exe";
    const std::string list = "C:\\WINDOWS\\TEMP\\MRV1A2B.TMP";
    EXPECT_EQ("C:\\Tools\\Morva.exe /Da ArchiveIcon! @C:\\WINDOWS\\TEMP\\MRV1A2B.TMP /Send",
              ViewArchivesCommand(token, list));
    EXPECT_EQ("C:\\Tools\\Morva.exe /Da TaskTray! @C:\\WINDOWS\\TEMP\\MRV1A2B.TMP /Send",
              SendArchivesCommand(token, list));
    EXPECT_EQ("C:\\Tools\\Morva.exe /Da Tasktray! @C:\\WINDOWS\\TEMP\\MRV1A2B.TMP /Send",
              SendRecentArchiveCommand(token, list));
    EXPECT_EQ(
        "\"C:\\Program Files\\Morva.exe\" /Da ArchiveIcon! @C:\\TEMP\\MRV2.TMP /Send",
        ViewArchivesCommand(ExecutableToken("C:\\Program Files\\Morva.exe"), "C:\\TEMP\\MRV2.TMP"));
}

TEST(CommandLines, ListTextIsEachPathWithCrLfInOrder) {
    EXPECT_EQ("", HandOffListText({}));
    EXPECT_EQ("C:\\a b\\表示 1.txt\r\n", HandOffListText({"C:\\a b\\表示 1.txt"}));
    EXPECT_EQ(std::string("C:\\\x95\x5C\r\n", 7), HandOffListText({"C:\\表"}));
    EXPECT_EQ("C:\\z.txt\r\nC:\\a.txt\r\n", HandOffListText({"C:\\z.txt", "C:\\a.txt"}));
    // An empty path still takes its line.
    EXPECT_EQ("\r\nC:\\a\r\n", HandOffListText({"", "C:\\a"}));
}

TEST(CommandLines, LongEntriesAreWrittenWhole) {
    std::string longPath = "C:\\";
    while (longPath.size() < 600)
        longPath += "長いフォルダ名\\";
    longPath += "end.lzh";
    ASSERT_GT(longPath.size(), 260u);
    EXPECT_EQ(longPath + "\r\n" + "C:\\b\r\n", HandOffListText({longPath, "C:\\b"}));
}

TEST(CommandLines, EntryEndsAtItsFirstNul) {
    EXPECT_EQ("C:\\a\r\n", HandOffListText({std::string("C:\\a\0junk", 9)}));
}

TEST(CommandLines, WorkFolderInsideItsBase) {
    EXPECT_EQ("C:\\Work\\~MORVA(", WorkFolderIn("C:\\Work"));
    EXPECT_EQ("C:\\Work\\~MORVA(", WorkFolderIn("C:\\Work\\"));
    EXPECT_EQ("C:\\Work/~MORVA(", WorkFolderIn("C:\\Work/"));
    EXPECT_EQ("C:\\~MORVA(", WorkFolderIn("C:"));
    EXPECT_EQ("C:\\~MORVA(", WorkFolderIn("C:\\"));
    EXPECT_EQ("D:\\作業\\表\\~MORVA(", WorkFolderIn("D:\\作業\\表"));
    EXPECT_EQ("\\\\srv\\share\\~MORVA(", WorkFolderIn("\\\\srv\\share"));
}

TEST(CommandLines, OpenTypeNamesTheStartFolder) {
    EXPECT_EQ(OpenFolderSource::RecentPath, OpenFolderSourceOf(1));
    EXPECT_EQ(OpenFolderSource::FixedPath, OpenFolderSourceOf(2));
    for (int other : {0, 3, -1, 100})
        EXPECT_EQ(OpenFolderSource::None, OpenFolderSourceOf(other)) << other;
}

TEST(CommandLines, DropFoldersAreKnownByNameAndGoAfterADay) {
    EXPECT_EQ("DROP00C0FFEE", DropFolderName(0xC0FFEE));
    EXPECT_TRUE(IsDropFolderName(DropFolderName(0xFFFFFFFF)));
    for (const char* other : {"DROP00C0FFE", "DROP00c0ffee", "DROP00C0FFEEX", "drop00C0FFEE",
                              "~MORVA(", "DROP00C0FFE."})
        EXPECT_FALSE(IsDropFolderName(other)) << other;
    const std::uint64_t hour = 36'000'000'000ull;
    const std::uint64_t made = 130'000'000'000'000'000ull;
    EXPECT_FALSE(IsDropFolderExpired(made, made + 23 * hour));
    EXPECT_FALSE(IsDropFolderExpired(made, made + 24 * hour));
    EXPECT_TRUE(IsDropFolderExpired(made, made + 25 * hour));
    EXPECT_FALSE(IsDropFolderExpired(made + 25 * hour, made)) << "made in the future";
}
