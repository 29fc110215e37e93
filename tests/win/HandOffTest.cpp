// List files and companion launches against the stand-in Morva.exe, laid out in program
// folders of the test's own: one whose name holds a space and Japanese text, one plain.
#include "handoff/CompanionLaunch.h"
#include "handoff/HandOffList.h"

#include "archive/ArchiveRecognizer.h"
#include "util/Errors.h"
#include "support/ShortNames.h"
#include "support/Standins.h"
#include "support/WinTestSupport.h"
#include "win/HandOffTestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <iterator>

using namespace testing_support;
using namespace handoff_test;

namespace {

class HandOff : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetLibraries();
        ASSERT_TRUE(CreateDirectoryA(tempFolder_.c_str(), nullptr));
        tempPath_ = std::make_unique<ScopedTempPath>(tempFolder_);
        before_ = ListFilesIn(ListFolder());
    }
    void TearDown() override {
        tempPath_.reset();
        ResetLibraries();
    }

    // The archive test finds its libraries beside the test program; leave none behind.
    static void ResetLibraries() {
        UnloadArchiverLibraries();
        DeleteFileA((ExeFolder() + "Unlha32.dll").c_str());
        ClearStandinLog(ExeFolder(), "Unlha32.dll");
    }
    static void InstallUnlha() {
        ASSERT_TRUE(CopyFileA((ProgramFolder() + "Unlha32.dll").c_str(),
                              (ExeFolder() + "Unlha32.dll").c_str(), FALSE));
    }

    // The temporary folder while the test runs (it has a space, so short paths differ).
    std::string ListFolder() const { return tempFolder_ + "\\"; }

    // A program folder below the root with the stand-in companion in it.
    std::string ProgramFolderNamed(const std::string& name, bool withCompanion = true) {
        std::string folder = root_.path() + name + "\\";
        EXPECT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << folder;
        if (withCompanion)
            CopyStandin(folder, "Morva.exe");
        return folder;
    }
    // "pk 表示 dir": started unquoted, the platform would try "<root>pk.exe" first, so a
    // second stand-in there shows when the wrong program ran.
    std::string SpacedProgramFolder() {
        CopyFileA((ProgramFolder() + "Morva.exe").c_str(), (root_.path() + "pk.exe").c_str(),
                  FALSE);
        return ProgramFolderNamed("pk 表示 dir");
    }

    // The list files made since the test began.
    std::vector<std::string> NewListFiles() const {
        std::set<std::string> now = ListFilesIn(ListFolder());
        std::vector<std::string> added;
        std::set_difference(now.begin(), now.end(), before_.begin(), before_.end(),
                            std::back_inserter(added));
        return added;
    }
    // The short path of the one list file made since the test began.
    std::string OnlyNewListFile() const {
        std::vector<std::string> added = NewListFiles();
        EXPECT_EQ(1u, added.size());
        return added.size() == 1 ? ShortPathOf(ListFolder() + added[0]) : std::string();
    }

    // The one finished start recorded in folder.
    static MorvaRun OnlyRun(const std::string& folder) {
        std::vector<MorvaRun> runs = WaitForMorvaRuns(folder, 1);
        EXPECT_EQ(1u, runs.size()) << folder;
        return runs.empty() ? MorvaRun{} : runs[0];
    }

    TempFolder root_{"hoff"};
    std::string tempFolder_ = root_.path() + "tmp 一時";
    std::unique_ptr<ScopedTempPath> tempPath_;
    std::set<std::string> before_;
};

const std::string kJapanesePath = "C:\\書類 一覧\\表示 テスト.txt";

} // namespace

TEST_F(HandOff, ListIsANewTempFileNamedByItsShortPath) {
    std::string listPath;
    ASSERT_TRUE(WriteHandOffList({kJapanesePath, "C:\\b.txt"}, listPath));
    std::vector<std::string> added = NewListFiles();
    ASSERT_EQ(1u, added.size());
    EXPECT_EQ(0, _strnicmp(added[0].c_str(), "MRV", 3)) << added[0];
    EXPECT_EQ(0, _stricmp(added[0].c_str() + added[0].size() - 4, ".TMP")) << added[0];
    EXPECT_EQ(ShortPathOf(ListFolder() + added[0]), listPath);
    EXPECT_EQ(std::string::npos, listPath.find(' ')) << listPath;
    EXPECT_EQ(kJapanesePath + "\r\n" + "C:\\b.txt\r\n", ReadFileBytes(listPath));
}

TEST_F(HandOff, EmptyListGivesAnEmptyFile) {
    std::string listPath;
    ASSERT_TRUE(WriteHandOffList({}, listPath));
    ASSERT_TRUE(FileExists(listPath));
    EXPECT_EQ("", ReadFileBytes(listPath));
    EXPECT_EQ(1u, NewListFiles().size());
}

TEST_F(HandOff, EntryLongerThanMaxPathIsWrittenWhole) {
    std::string longPath = "D:\\";
    while (longPath.size() < 400)
        longPath += "深い フォルダ\\";
    longPath += "last.lzh";
    std::string listPath;
    ASSERT_TRUE(WriteSingleHandOffList(longPath, listPath));
    EXPECT_EQ(longPath + "\r\n", ReadFileBytes(listPath));
}

TEST_F(HandOff, QuickCompressQuotesACompanionInAFolderWithASpace) {
    std::string folder = SpacedProgramFolder();
    ASSERT_TRUE(QuickCompress({kJapanesePath}, CompanionLocation{folder}));
    MorvaRun run = OnlyRun(folder);
    std::string listPath = OnlyNewListFile();
    EXPECT_EQ(std::string::npos, listPath.find(' ')) << listPath;
    EXPECT_EQ("\"" + folder + "Morva.exe\" /QA \\ @" + listPath, run.commandLine);
    EXPECT_EQ(kJapanesePath + "\r\n", run.listBytes);
    // The stand-in that an unquoted start would have found first never ran.
    EXPECT_FALSE(FileExists(root_.path() + "Morva.log"));
    EXPECT_TRUE(FileExists(listPath)) << "the list belongs to the companion now";
}

TEST_F(HandOff, QuickCompressLeavesAPlainFolderUnquoted) {
    std::string folder = ProgramFolderNamed("plain");
    ASSERT_TRUE(QuickCompress({"C:\\z last.txt", kJapanesePath}, CompanionLocation{folder}));
    MorvaRun run = OnlyRun(folder);
    EXPECT_EQ(folder + "Morva.exe /QA \\ @" + OnlyNewListFile(), run.commandLine);
    EXPECT_EQ("C:\\z last.txt\r\n" + kJapanesePath + "\r\n", run.listBytes);
}

TEST_F(HandOff, QuickExtractAndViewHandOverArchives) {
    InstallUnlha();
    std::string folder = SpacedProgramFolder();
    const std::vector<std::string> archives = {"C:\\受信\\b.lzh", "C:\\a.LZH"};
    ASSERT_TRUE(QuickExtract(archives, CompanionLocation{folder}));
    MorvaRun run = OnlyRun(folder);
    std::string listPath = OnlyNewListFile();
    EXPECT_EQ("\"" + folder + "Morva.exe\" /QE \\ @" + listPath, run.commandLine);
    EXPECT_EQ("C:\\受信\\b.lzh\r\nC:\\a.LZH\r\n", run.listBytes);

    before_ = ListFilesIn(ListFolder());
    DeleteFileA((folder + "Morva.log").c_str());
    ViewArchives(archives, CompanionLocation{folder});
    run = OnlyRun(folder);
    EXPECT_EQ("\"" + folder + "Morva.exe\" /Da ArchiveIcon! @" + OnlyNewListFile() + " /Send",
              run.commandLine);
    EXPECT_EQ("C:\\受信\\b.lzh\r\nC:\\a.LZH\r\n", run.listBytes);
    EXPECT_FALSE(FileExists(root_.path() + "Morva.log"));
}

TEST_F(HandOff, ExtractAndViewRefuseAListThatIsNotAllArchives) {
    InstallUnlha();
    std::string folder = ProgramFolderNamed("plain");
    EXPECT_FALSE(QuickExtract({"C:\\a.lzh", "C:\\note.txt"}, CompanionLocation{folder}));
    ViewArchives({"C:\\a.lzh", "C:\\note.txt"}, CompanionLocation{folder});
    EXPECT_FALSE(QuickExtract({}, CompanionLocation{folder}));
    EXPECT_TRUE(NewListFiles().empty());
    EXPECT_TRUE(WaitForMorvaRuns(folder, 1, 2000).empty());
}

TEST_F(HandOff, SendsUseTheirOwnSpellings) {
    std::string folder = ProgramFolderNamed("plain");
    const CompanionLocation where{folder};
    SendChosenArchives({"C:\\x.zip", kJapanesePath}, where);
    ASSERT_EQ(1u, WaitForMorvaRuns(folder, 1).size());
    SendRecentArchive("C:\\もう ない.lzh", where);
    ASSERT_EQ(2u, WaitForMorvaRuns(folder, 2).size());
    EXPECT_EQ(HandOffResult::Started, SendImportedArchives({"C:\\in\\1.cab"}, where));
    std::vector<MorvaRun> runs = WaitForMorvaRuns(folder, 3);
    ASSERT_EQ(3u, runs.size());
    std::vector<std::string> added = NewListFiles();
    ASSERT_EQ(3u, added.size());

    const std::string token = folder + "Morva.exe";
    auto listOf = [](const MorvaRun& run) {
        std::size_t at = run.commandLine.find('@');
        return run.commandLine.substr(at + 1, run.commandLine.size() - at - 1 - 6);
    };
    EXPECT_EQ(token + " /Da TaskTray! @" + listOf(runs[0]) + " /Send", runs[0].commandLine);
    EXPECT_EQ("C:\\x.zip\r\n" + kJapanesePath + "\r\n", runs[0].listBytes);
    EXPECT_EQ(token + " /Da Tasktray! @" + listOf(runs[1]) + " /Send", runs[1].commandLine);
    EXPECT_EQ("C:\\もう ない.lzh\r\n", runs[1].listBytes);
    EXPECT_EQ(token + " /Da TaskTray! @" + listOf(runs[2]) + " /Send", runs[2].commandLine);
    EXPECT_EQ("C:\\in\\1.cab\r\n", runs[2].listBytes);
    std::set<std::string> named;
    for (const MorvaRun& run : runs)
        named.insert(listOf(run));
    for (const std::string& name : added)
        EXPECT_EQ(1u, named.count(ShortPathOf(ListFolder() + name))) << name;
}

TEST_F(HandOff, NothingSentForNoArchives) {
    std::string folder = ProgramFolderNamed("plain");
    SendChosenArchives({}, CompanionLocation{folder});
    EXPECT_EQ(HandOffResult::ListNotWritten, SendImportedArchives({}, CompanionLocation{folder}));
    EXPECT_TRUE(NewListFiles().empty());
}

TEST_F(HandOff, LaunchCompanionStartsItWithoutArguments) {
    std::string plain = ProgramFolderNamed("plain");
    LaunchCompanion(CompanionLocation{plain});
    MorvaRun run = OnlyRun(plain);
    EXPECT_EQ(plain + "Morva.exe", run.commandLine);
    EXPECT_EQ("none", run.listStatus);

    // In a folder with a space the path is quoted: the program an unquoted start would have
    // found first ("<root>pk.exe") never runs.
    std::string spaced = SpacedProgramFolder();
    LaunchCompanion(CompanionLocation{spaced});
    run = OnlyRun(spaced);
    EXPECT_EQ("\"" + spaced + "Morva.exe\"", run.commandLine);
    EXPECT_EQ("none", run.listStatus);
    EXPECT_FALSE(FileExists(root_.path() + "Morva.log"));
    EXPECT_TRUE(NewListFiles().empty());
}

TEST_F(HandOff, MissingCompanionStartsNothingAndLeavesNoList) {
    std::string folder = ProgramFolderNamed("empty", false);
    InstallUnlha();
    EXPECT_FALSE(QuickCompress({"C:\\a.txt"}, CompanionLocation{folder}));
    EXPECT_FALSE(QuickExtract({"C:\\a.lzh"}, CompanionLocation{folder}));
    ViewArchives({"C:\\a.lzh"}, CompanionLocation{folder});
    LaunchCompanion(CompanionLocation{folder});
    EXPECT_TRUE(NewListFiles().empty());
    // A folder by the companion's name is not a companion either.
    ASSERT_TRUE(CreateDirectoryA((folder + "Morva.exe").c_str(), nullptr));
    EXPECT_FALSE(QuickCompress({"C:\\a.txt"}, CompanionLocation{folder}));
    EXPECT_TRUE(NewListFiles().empty());
}

TEST_F(HandOff, SendsDoNotLookForTheCompanionAndLeaveTheirList) {
    std::string folder = ProgramFolderNamed("empty", false);
    SendChosenArchives({"C:\\a.zip"}, CompanionLocation{folder});
    SendRecentArchive("C:\\b.zip", CompanionLocation{folder});
    // The import tells its caller that nothing was started.
    EXPECT_EQ(HandOffResult::NotStarted,
              SendImportedArchives({"C:\\c.zip"}, CompanionLocation{folder}));
    EXPECT_EQ(3u, NewListFiles().size());
}

TEST_F(HandOff, FailedStartDeletesOnlyTheQuickOperationsLists) {
    InstallUnlha();
    std::string folder = ProgramFolderNamed("broken", false);
    WriteFileBytes(folder + "Morva.exe", "this is a text file, not a program\r\n");
    const CompanionLocation where{folder};
    EXPECT_FALSE(QuickCompress({"C:\\a.txt"}, where));
    EXPECT_FALSE(QuickExtract({"C:\\a.lzh"}, where));
    EXPECT_TRUE(NewListFiles().empty());

    ViewArchives({"C:\\a.lzh"}, where);
    EXPECT_EQ(1u, NewListFiles().size());
    SendChosenArchives({"C:\\a.lzh"}, where);
    SendRecentArchive("C:\\a.lzh", where);
    EXPECT_EQ(HandOffResult::NotStarted, SendImportedArchives({"C:\\a.lzh"}, where));
    EXPECT_EQ(4u, NewListFiles().size());
}

namespace {
// A temporary disk that fills up after a few bytes of every list.
BOOL WINAPI WriteUntilTheDiskIsFull(HANDLE file, LPCVOID bytes, DWORD size, LPDWORD written,
                                    LPOVERLAPPED) {
    WriteFile(file, bytes, size < 5 ? size : 5, written, nullptr);
    SetLastError(ERROR_DISK_FULL);
    return FALSE;
}

} // namespace

// A list that cannot be written whole (the temporary disk is full) is no list: it is deleted
// and nothing starts with it, and the import is told that no list was written.
TEST_F(HandOff, AListCutShortIsTakenBackAndNothingStarts) {
    std::string folder = ProgramFolderNamed("plain");
    ListWriteCall previous = ReplaceListWriteCall(WriteUntilTheDiskIsFull);
    std::string listPath;
    EXPECT_FALSE(WriteHandOffList({kJapanesePath, "C:\\b.txt"}, listPath));
    EXPECT_FALSE(QuickCompress({kJapanesePath}, CompanionLocation{folder}));
    EXPECT_EQ(HandOffResult::ListNotWritten,
              SendImportedArchives({"C:\\in\\1.cab"}, CompanionLocation{folder}));
    ReplaceListWriteCall(previous);
    EXPECT_TRUE(NewListFiles().empty());
    EXPECT_TRUE(WaitForMorvaRuns(folder, 1, 2000).empty());
    // An empty list writes nothing, so it cannot fail for want of room.
    ReplaceListWriteCall(WriteUntilTheDiskIsFull);
    EXPECT_TRUE(WriteHandOffList({}, listPath));
    ReplaceListWriteCall(previous);
}

// A temporary folder whose name the code page cannot write ("tmp café") takes the list by its
// short form where the volume keeps short names; where it keeps none that is told, and the list
// never goes to a look-alike ("tmp cafe", another folder).
TEST_F(HandOff, ATemporaryFolderOutsideTheCodePageIsNeverGuessedAt) {
    std::wstring root(root_.path().begin(), root_.path().end()); // an ASCII path
    const std::wstring accented = root + L"tmp caf\u00e9";
    ASSERT_TRUE(CreateDirectoryW(accented.c_str(), nullptr));
    const std::string lookAlike = root_.path() + "tmp cafe\\";
    ASSERT_TRUE(CreateDirectoryA(lookAlike.c_str(), nullptr));
    ScopedTempPath temp(accented + L"\\");
    std::string listPath;
    ASSERT_TRUE(WriteHandOffList({kJapanesePath}, listPath));
    EXPECT_EQ(kJapanesePath + "\r\n", ReadFileBytes(listPath));
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((accented + L"\\MRV*.TMP").c_str(), &found);
    EXPECT_NE(INVALID_HANDLE_VALUE, search) << listPath;
    FindClose(search);
    EXPECT_TRUE(ListFilesIn(lookAlike).empty());

    VolumeWithoutShortNames exFat;
    try {
        WriteHandOffList({kJapanesePath}, listPath);
        ADD_FAILURE() << "a list was written to " << listPath;
    } catch (const EAppError& error) {
        EXPECT_NE(std::string::npos, std::string(error.what()).find("tmp caf?")) << error.what();
    }
    EXPECT_TRUE(ListFilesIn(lookAlike).empty());
}

TEST(Companion, PathIsBesideTheRunningProgram) {
    EXPECT_EQ(ExeFolder(), CompanionLocation::OfThisProgram().programFolder);
    EXPECT_EQ(ExeFolder() + "Morva.exe", CompanionPath());
}
