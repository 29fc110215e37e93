// The file search against real folders: storage of start folders, what is listed and in which
// order, aborting, the content filter, errors, and that the current folder is left alone.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/WinTestSupport.h"
#include "util/FileFind.h"

using testing_support::TempFolder;
using testing_support::MakeFolder;
using testing_support::WriteFileBytes;

namespace {

std::vector<std::string> Sorted(std::vector<std::string> list) {
    std::sort(list.begin(), list.end());
    return list;
}

std::string CurrentFolder() {
    char buffer[MAX_PATH];
    DWORD length = GetCurrentDirectoryA(sizeof buffer, buffer);
    return std::string(buffer, length);
}

// The platform's raw text for an error code.
std::string RawSystemMessage(DWORD code) {
    char buffer[1024];
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, code, 0, buffer, sizeof buffer, nullptr);
    return std::string(buffer, length);
}

} // namespace

TEST(FileFind, StartFoldersLoseTrailingSeparatorsExceptRoots) {
    TFileFind find;
    find.SetStartDir("C:\\");
    EXPECT_EQ("C:\\", find.StartDir());
    find.SetStartDir("C:\\temp\\");
    EXPECT_EQ("C:\\temp", find.StartDir());
    find.SetStartDir("C:\\;C:\\temp\\;;d:\\x\\y");
    EXPECT_EQ("C:\\;C:\\temp;d:\\x\\y", find.StartDir());
    // "表" is 95 5C: its trail byte is no separator and stays.
    find.SetStartDir("C:\\\x95\x5c");
    EXPECT_EQ("C:\\\x95\x5c", find.StartDir());
    find.SetStartDir("C:\\\x95\x5c\\");
    EXPECT_EQ("C:\\\x95\x5c", find.StartDir());
    find.SetFilePattern("*.txt;;*.dat");
    EXPECT_EQ("*.txt;*.dat", find.FilePattern());
}

TEST(FileFind, DefaultsAreRecursiveWithoutFolders) {
    TFileFind find;
    EXPECT_TRUE(find.Recursive());
    EXPECT_FALSE(find.AddDir());
    EXPECT_FALSE(find.MatchEnabled());
}

TEST(FileFind, StarListsFilesOnlyUnlessFoldersAreAsked) {
    TempFolder root("ffa");
    WriteFileBytes(root.path() + "a.txt", "a");
    WriteFileBytes(root.path() + "b.dat", "b");
    MakeFolder(root.path() + "sub");
    WriteFileBytes(root.path() + "sub\\c.txt", "c");

    TFileFind find;
    find.SetStartDir(root.path());
    find.SetFilePattern("*");
    find.SetRecursive(false);
    find.Execute();
    EXPECT_EQ(Sorted({root.path() + "a.txt", root.path() + "b.dat"}), Sorted(find.FilesFound()));

    find.SetAddDir(true);
    find.Execute();
    EXPECT_EQ(Sorted({root.path() + "a.txt", root.path() + "b.dat", root.path() + "sub"}),
              Sorted(find.FilesFound()));
}

TEST(FileFind, RecursiveSearchGoesDepthFirstAfterTheFolderItself) {
    TempFolder root("ffr");
    WriteFileBytes(root.path() + "a.txt", "a");
    MakeFolder(root.path() + "sub");
    WriteFileBytes(root.path() + "sub\\b.txt", "b");
    MakeFolder(root.path() + "sub\\deeper");
    WriteFileBytes(root.path() + "sub\\deeper\\c.txt", "c");
    WriteFileBytes(root.path() + "sub\\deeper\\skip.dat", "d");

    TFileFind find;
    find.SetStartDir(root.path());
    find.SetFilePattern("*.txt");
    find.Execute();
    EXPECT_EQ((std::vector<std::string>{root.path() + "a.txt", root.path() + "sub\\b.txt",
                                        root.path() + "sub\\deeper\\c.txt"}),
              find.FilesFound());

    find.SetRecursive(false);
    find.Execute();
    EXPECT_EQ(std::vector<std::string>{root.path() + "a.txt"}, find.FilesFound());
}

TEST(FileFind, EachStartFolderThenEachPatternInOrder) {
    TempFolder first("ff1"), second("ff2");
    for (const TempFolder* folder : {&first, &second}) {
        WriteFileBytes(folder->path() + "one.txt", "1");
        WriteFileBytes(folder->path() + "two.dat", "2");
        WriteFileBytes(folder->path() + "three.bin", "3");
    }
    TFileFind find;
    find.SetStartDir(first.path() + ";" + second.path());
    find.SetFilePattern("*.dat;*.txt");
    find.Execute();
    EXPECT_EQ((std::vector<std::string>{first.path() + "two.dat", first.path() + "one.txt",
                                        second.path() + "two.dat", second.path() + "one.txt"}),
              find.FilesFound());
}

TEST(FileFind, FolderNamesWithTrailByteFiveC) {
    TempFolder root("fft");
    // "表" (95 5C) ends in the byte of '\\'; the separator after it must still be added.
    const std::string folder = MakeFolder(root.path() + "\x95\x5c");
    WriteFileBytes(folder + "\\f.txt", "x");
    TFileFind find;
    find.SetStartDir(folder);
    find.SetFilePattern("*");
    find.Execute();
    EXPECT_EQ(std::vector<std::string>{folder + "\\f.txt"}, find.FilesFound());
    find.SetStartDir(root.path());
    find.Execute();
    EXPECT_EQ(std::vector<std::string>{folder + "\\f.txt"}, find.FilesFound());
}

TEST(FileFind, DriveRootGivesSingleSeparator) {
    TFileFind find;
    find.SetStartDir("C:\\");
    find.SetFilePattern("*");
    find.SetRecursive(false);
    find.SetAddDir(true);
    find.Execute();
    ASSERT_FALSE(find.FilesFound().empty());
    bool windowsFolder = false;
    for (const std::string& path : find.FilesFound()) {
        EXPECT_EQ(0u, path.rfind("C:\\", 0)) << path;
        EXPECT_NE('\\', path[3]) << path;
        windowsFolder |= lstrcmpiA(path.c_str(), "C:\\windows") == 0;
    }
    EXPECT_TRUE(windowsFolder);
}

TEST(FileFind, NotificationCanAbortTheWholeSearch) {
    TempFolder first("ffx"), second("ffy");
    WriteFileBytes(first.path() + "a.txt", "a");
    WriteFileBytes(first.path() + "b.txt", "b");
    WriteFileBytes(first.path() + "c.txt", "c");
    WriteFileBytes(second.path() + "d.txt", "d");
    TFileFind find;
    find.SetStartDir(first.path() + ";" + second.path());
    find.SetFilePattern("*.txt");
    std::vector<std::string> seen;
    find.OnFileFound = [&](TFileFind&, const std::string& path, const WIN32_FIND_DATAA& entry,
                           bool& abort) {
        EXPECT_EQ(path, first.path() + entry.cFileName);
        seen.push_back(path);
        abort = seen.size() == 2;
    };
    find.Execute();
    EXPECT_TRUE(find.Aborted());
    ASSERT_EQ(2u, seen.size());
    // The entry during which the flag was set is left out, and nothing comes after it.
    EXPECT_EQ(std::vector<std::string>{seen[0]}, find.FilesFound());

    seen.clear();
    find.OnFileFound = [&](TFileFind&, const std::string& path, const WIN32_FIND_DATAA&, bool&) {
        seen.push_back(path);
    };
    find.Execute();
    EXPECT_FALSE(find.Aborted());
    EXPECT_EQ(4u, find.FilesFound().size());
    EXPECT_EQ(find.FilesFound(), seen);
}

TEST(FileFind, ContentFilterKeepsFilesWithAMatchingLine) {
    TempFolder root("ffc");
    WriteFileBytes(root.path() + "yes.txt", "first line\r\nsays Hello, big World\r\nlast\r\n");
    WriteFileBytes(root.path() + "split.txt", "hello\r\nworld\r\n");
    WriteFileBytes(root.path() + "no.txt", "nothing to see\r\n");
    WriteFileBytes(root.path() + "semi;colon.txt", "hello world");
    TFileFind find;
    find.SetStartDir(root.path());
    find.SetFilePattern("*.txt");
    find.SetMatchEnabled(true);
    find.SetMatchString("hello*world");
    find.Execute();
    EXPECT_EQ(Sorted({root.path() + "semi;colon.txt", root.path() + "yes.txt"}),
              Sorted(find.FilesFound()));

    find.SetMatchCaseSensitive(true);
    find.Execute();
    EXPECT_EQ(std::vector<std::string>{root.path() + "semi;colon.txt"}, find.FilesFound());

    // Off, or on with nothing to look for: every file.
    find.SetMatchString("");
    find.Execute();
    EXPECT_EQ(4u, find.FilesFound().size());
    find.SetMatchString("nothing");
    find.SetMatchEnabled(false);
    find.Execute();
    EXPECT_EQ(4u, find.FilesFound().size());
}

TEST(FileFind, MissingStartFolderRaisesThePlatformMessage) {
    TempFolder root("ffm");
    WriteFileBytes(root.path() + "a.txt", "a");
    const std::string missing = root.path() + "missing";
    // What entering the folder would have said.
    ASSERT_FALSE(SetCurrentDirectoryA(missing.c_str()));
    const std::string expected = RawSystemMessage(GetLastError());
    ASSERT_FALSE(expected.empty());

    TFileFind find;
    find.SetStartDir(root.path() + ";" + missing);
    find.SetFilePattern("*");
    try {
        find.Execute();
        ADD_FAILURE() << "no error raised";
    } catch (const ESearchError& error) {
        std::string text = error.what();
        EXPECT_FALSE(text.empty());
        EXPECT_EQ(0u, expected.rfind(text, 0)) << text << " / " << expected;
    }
    // What was found before the error is kept.
    EXPECT_EQ(std::vector<std::string>{root.path() + "a.txt"}, find.FilesFound());

    // A file is no folder to start from either.
    find.SetStartDir(root.path() + "a.txt");
    EXPECT_THROW(find.Execute(), ESearchError);
}

TEST(FileFind, CurrentFolderIsLeftAloneAndSearchedFolderCanBeRemoved) {
    TempFolder parent("ffd");
    const std::string searched = MakeFolder(parent.path() + "watched");
    MakeFolder(searched + "\\inner");
    WriteFileBytes(searched + "\\inner\\x.txt", "x");
    const std::string before = CurrentFolder();

    TFileFind find;
    find.SetStartDir(searched);
    find.SetFilePattern("*");
    find.SetAddDir(true);
    find.Execute();
    EXPECT_EQ(2u, find.FilesFound().size());
    EXPECT_EQ(before, CurrentFolder());

    ASSERT_TRUE(DeleteFileA((searched + "\\inner\\x.txt").c_str()));
    EXPECT_TRUE(RemoveDirectoryA((searched + "\\inner").c_str())) << GetLastError();
    EXPECT_TRUE(RemoveDirectoryA(searched.c_str())) << GetLastError();
    EXPECT_EQ(before, CurrentFolder());
}
