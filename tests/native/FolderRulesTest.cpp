// The folder picker's portable rules: the typed-name filter over whole characters, node paths
// from what the shell gives, hints and the status text, and the back/forward trail.
#include <gtest/gtest.h>

#include "folders/FolderRules.h"
#include "util/PathRules.h"

using namespace folders;

TEST(FolderNameFilter, KeepsDoubleByteCharactersWhole) {
    // 表 is 95 5C, ソ 83 5C, ポ 83 7C: their trail bytes equal "\" and "|".
    struct Case {
        const char* typed;
        const char* kept;
    } cases[] = {
        {"表示", "\x95\x5C\x8E\xA6"},
        {"表ソポ", "表ソポ"},
        {"a\\b/c:d*e?f\"g<h>i|j", "abcdefghij"},
        {"表:ソ|ポ\\", "表ソポ"},
        {"a,b;c", "a,b;c"},
        {"", ""},
        // A lead byte cut off at the end is kept as it came; nothing is invented.
        {"ab\x95", "ab\x95"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.kept, FilterNameText(c.typed)) << c.typed;
}

TEST(FolderNodePath, NormalisedFromTheShell) {
    struct Case {
        const char* shell;
        bool fileSystem;
        const char* path;
    } cases[] = {
        {"C:\\users\\x\\Documents\\", true, "C:\\users\\x\\Documents"},
        {"C:\\users\\x", true, "C:\\users\\x"},
        {"C:\\", true, "C:\\"},
        {"z:", true, "z:\\"},
        {"C:\\表\\", true, "C:\\表"},
        {"C:\\表", true, "C:\\表"},
        {"\\\\server\\share\\", true, "\\\\server\\share"},
        // The network folder answers with a parsing name but is no file-system folder.
        {"::{208D2C60-3AEA-1069-A2D7-08002B30309D}", true, ""},
        {"C:\\users", false, ""},
        {"", true, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.path, NodePathFromShell(c.shell, c.fileSystem)) << c.shell;
}

TEST(FolderNodePath, DriveRootsAndShortNames) {
    for (const char* root : {"C:\\", "c:", "Z:/"})
        EXPECT_TRUE(IsDriveRoot(root)) << root;
    for (const char* other : {"C:\\x", "\\\\s\\t", "", "1:\\", "C"})
        EXPECT_FALSE(IsDriveRoot(other)) << other;
    EXPECT_EQ("C:\\", ShortFolderName("C:\\"));
    EXPECT_EQ("表示", ShortFolderName("C:\\data\\表示\\"));
    EXPECT_EQ("ソ", ShortFolderName("C:\\ソ"));
}

// Attributes as the shell reports them: a folder on disk, the computer, the recycle bin, and a
// .zip archive that the shell opens like a folder.
TEST(FolderTreeListing, ArchivesAndVirtualFoldersWithoutFoldersAreNotListed) {
    struct Case {
        unsigned long attributes;
        bool listed;
    } cases[] = {
        {0xF080017Ful, true},  // folder, file system, has subfolders
        {0xB0000170ul, true},  // the computer: holds file-system folders
        {0x20000140ul, false}, // the recycle bin
        {0x60400177ul, false}, // archive: folder, file system, stream
        {0x70400000ul, false}, // an archive that says it holds file-system folders
        {0x00400000ul, false}, {0ul, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.listed, ListedAsFolder(c.attributes)) << std::hex << c.attributes;
}

TEST(FolderDeletion, OnlyAFolderDirectlyInsideItsParentNodesFolder) {
    struct Case {
        const char* path;
        const char* parent;
        bool inside;
    } cases[] = {
        {"C:\\data\\old", "C:\\data", true},
        {"C:\\data", "C:\\", true},
        {"C:\\DATA\\old", "c:\\data", true},
        {"C:\\data\\old\\", "C:\\data\\", true},
        // 表 and ソ end in the byte of "\\".
        {"C:\\表\\ソ", "C:\\表", true},
        {"C:\\表", "C:\\", true},
        {"\\\\server\\share\\x", "\\\\server\\share", true},
        // The user's documents shown on the desktop: a real folder, but not in the desktop's.
        {"C:\\users\\x\\Documents", "C:\\users\\x\\Desktop", false},
        // A best-fit path: "a¥b" read as "a\\b".
        {"C:\\data\\a\\b", "C:\\data", false},
        {"C:\\data2\\old", "C:\\data", false},
        {"C:\\dat\\old", "C:\\data", false},
        {"C:\\", "", false},
        {"D:\\", "C:\\", false},
        {"C:\\data\\old", "", false},
        {"", "C:\\data", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.inside, LiesDirectlyInside(c.path, c.parent)) << c.path << " in " << c.parent;
}

TEST(FolderStatusText, FreeSpaceOrNothing) {
    EXPECT_EQ("", FormatFreeSpace("", 1048576, "."));
    EXPECT_EQ("C:\\ 空きディスク領域: 1.00 MB", FormatFreeSpace("C:\\", 1049600, "."));
    EXPECT_EQ("D:\\ 空きディスク領域: 2,00 GB", FormatFreeSpace("D:\\", 2147483648.0, ","));
    EXPECT_EQ("A:\\ ノットレディ.", FormatFreeSpace("A:\\ ノットレディ.", -1, "."));
}

TEST(FolderVisitTrail, BackThenNewFolderKeepsForward) {
    TVisitTrail trail;
    EXPECT_FALSE(trail.CanGoBack());
    EXPECT_FALSE(trail.CanGoForward());
    EXPECT_EQ("", trail.NavigateTrail(-1));
    trail.RecordVisit("");
    EXPECT_EQ(0, trail.Count());

    for (const char* p : {"C:\\a", "C:\\b", "C:\\c"})
        trail.RecordVisit(p);
    trail.RecordVisit("C:\\c"); // selected again: no new visit
    EXPECT_EQ(3, trail.Position());
    EXPECT_EQ(3, trail.Count());
    EXPECT_TRUE(trail.CanGoBack());
    EXPECT_FALSE(trail.CanGoForward());
    EXPECT_EQ("b", trail.BackHint());
    EXPECT_EQ("", trail.ForwardHint());

    // Going back selects b; the selection change it causes is not recorded.
    trail.SetNavigating(true);
    EXPECT_EQ("C:\\b", trail.NavigateTrail(-1));
    trail.RecordVisit("C:\\b");
    trail.SetNavigating(false);
    EXPECT_EQ(2, trail.Position());
    EXPECT_EQ("a", trail.BackHint());
    EXPECT_EQ("c", trail.ForwardHint());

    // A new folder now becomes current in front of b; forward leads back to b, then c.
    trail.RecordVisit("D:\\");
    EXPECT_EQ((std::vector<std::string>{"C:\\a", "D:\\", "C:\\b", "C:\\c"}), trail.Entries());
    EXPECT_EQ(2, trail.Position());
    EXPECT_EQ("b", trail.ForwardHint());
    EXPECT_EQ("C:\\b", trail.NavigateTrail(+1));
    EXPECT_EQ("C:\\c", trail.NavigateTrail(+1));
    EXPECT_EQ("", trail.NavigateTrail(+1));
    EXPECT_EQ(4, trail.Position());

    trail.Clear();
    EXPECT_EQ(0, trail.Position());
    EXPECT_FALSE(trail.CanGoForward());
}
