// Listing a watched folder: its own files only, whatever its name, an error for a folder that
// is not there, and names the code page cannot write by names that open their files.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "support/ShortNames.h"
#include "support/WinTestSupport.h"
#include "util/FileFind.h"
#include "util/FileProbe.h"
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
        std::vector<std::string> listed;
        for (const watch::TListedFile& file : watch::ListFolderFiles(folder))
            listed.push_back(file.path);
        std::sort(listed.begin(), listed.end());
        EXPECT_EQ((std::vector<std::string>{folder + "\\one.lzh", folder + "\\two.txt"}), listed);
    }
    EXPECT_THROW(watch::ListFolderFiles(temp.path() + "missing"), ESearchError);
}

// Not "cafe" for "café" (a look-alike that names no file), nor "a?" for both snowmen: their
// short forms; without short names, a name that opens nothing beside the file's own.
TEST(FolderListing, NamesTheCodePageCannotWriteGoByTheirShortForms) {
    TempFolder temp("lsw");
    const std::string folder = temp.path() + "w";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    const std::wstring names[] = {L"caf\u00e9.lzh", L"a\u2603.lzh", L"a\u2604.lzh"};
    for (const std::wstring& name : names)
        WriteFileBytes(folder + "\\", name, "x");
    WriteFileBytes(folder + "\\\x95\x5c.lzh", "x");
    for (bool shortNames : {true, false}) {
        SCOPED_TRACE(shortNames ? "short names" : "no short names");
        std::optional<testing_support::VolumeWithoutShortNames> exFat;
        if (!shortNames)
            exFat.emplace();
        std::vector<watch::TListedFile> files = watch::ListFolderFiles(folder);
        exFat.reset();
        ASSERT_EQ(4u, files.size());
        std::vector<std::u16string> own;
        for (const watch::TListedFile& file : files) {
            SCOPED_TRACE(file.path);
            EXPECT_TRUE(watch::ListedFileExists(file));
            EXPECT_EQ(file.opens, FileExistsQuiet(file.path));
            EXPECT_EQ(file.opens, shortNames || file.ownName.empty());
            if (!file.ownName.empty())
                own.push_back(file.ownName);
        }
        std::sort(own.begin(), own.end());
        EXPECT_EQ((std::vector<std::u16string>{u"a\u2603.lzh", u"a\u2604.lzh", u"caf\u00e9.lzh"}),
                  own);
    }
}
