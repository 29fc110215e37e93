// Listing a watched folder: its own files only, whatever its name, and nothing for a folder
// that is not there.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "support/WinTestSupport.h"
#include "watch/FolderListing.h"

using testing_support::TempFolder;
using testing_support::WriteFileBytes;

TEST(FolderListing, ListsTheFolderOwnFilesOnly) {
    TempFolder temp("lst");
    // A ';' and a trail byte 0x5C ("表") in the folder's name.
    for (const std::string name : {"a;b 表", "plain"}) {
        const std::string folder = temp.path() + name;
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryA((folder + "\\sub.lzh").c_str(), nullptr));
        WriteFileBytes(folder + "\\sub.lzh\\inner.lzh", "x");
        WriteFileBytes(folder + "\\one.lzh", "x");
        WriteFileBytes(folder + "\\two.txt", "");
        std::vector<std::string> listed = watch::ListFolderFiles(folder);
        std::sort(listed.begin(), listed.end());
        EXPECT_EQ((std::vector<std::string>{folder + "\\one.lzh", folder + "\\two.txt"}), listed);
    }
    EXPECT_TRUE(watch::ListFolderFiles(temp.path() + "missing").empty());
}
