// The archive recognizer against the stand-in archiver libraries, loaded by bare name from
// the test program's own folder exactly as the program loads them from its folder.
#include "archive/ArchiveRecognizer.h"
#include "archive/ArchiverLibraries.h"
#include "support/Standins.h"
#include "support/WinTestSupport.h"
#include "util/Errors.h"
#include "util/FileProbe.h"
#include "util/ScopedWin.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <thread>

using namespace testing_support;

namespace {

const char* const kAllLibraries[] = {"Unlha32.dll", "Unzip32.dll", "Zip32j.dll",
                                     "cab32.dll",   "Tar32.dll",   "Unarj32j.dll",
                                     "unrar32.dll", "unrar.dll",   "BZ2LIB.dll"};

class Recognizer : public ::testing::Test {
  protected:
    void SetUp() override { Reset(); }
    void TearDown() override { Reset(); }

    void Reset() {
        UnloadArchiverLibraries();
        for (const char* lib : kAllLibraries) {
            DeleteFileA((ExeFolder() + lib).c_str());
            SetStandinControl(ExeFolder(), lib, "");
            ClearStandinLog(ExeFolder(), lib);
        }
    }

    // Places stand-ins beside the test program; `as` renames one (an impostor library). The
    // libraries missed before are looked for again, as when the settings open.
    static void Install(std::initializer_list<const char*> libs) {
        for (const char* lib : libs)
            InstallAs(lib, lib);
    }
    static void InstallAs(const char* lib, const char* as) {
        ASSERT_TRUE(CopyFileA((ProgramFolder() + lib).c_str(), (ExeFolder() + as).c_str(), FALSE))
            << lib;
        LookForMissingLibrariesAgain();
    }
    static void InstallAll() {
        for (const char* lib : kAllLibraries)
            InstallAs(lib, lib);
    }
    static void Control(const char* lib, const std::string& text) {
        SetStandinControl(ExeFolder(), lib, text);
    }
    static std::vector<std::string> Calls(const char* lib) {
        return StandinCalls(ExeFolder(), lib);
    }
    // How many archive checks the library was asked for.
    static long Checks(const char* lib, const std::string& containing = "CheckArchive") {
        auto calls = Calls(lib);
        return std::count_if(calls.begin(), calls.end(), [&](const std::string& c) {
            return c.find(containing) != std::string::npos;
        });
    }
    static bool Called(const char* lib, const std::string& prefix) {
        auto calls = Calls(lib);
        return std::any_of(calls.begin(), calls.end(),
                           [&](const std::string& c) { return c.rfind(prefix, 0) == 0; });
    }

    std::string File(const std::string& name, const std::string& bytes) {
        std::string path = dir_.path() + name;
        WriteFileBytes(path, bytes);
        return path;
    }

    // A self-extractor: a program stub with a real cabinet at the given offset.
    std::string CabinetSelfExtractor(const std::string& name, std::size_t offset) {
        std::string cab = ReadFileBytes(ExeFolder() + "sample.cab");
        EXPECT_EQ(0u, cab.rfind("MSCF", 0)) << "sample.cab is not a cabinet";
        std::string exe = "MZ" + std::string(offset - 2, '\x90') + cab;
        return File(name, exe);
    }

    TempFolder dir_{"recog"};
};

} // namespace

TEST(Platform, AnsiCodePageIsJapanese) {
    EXPECT_EQ(932u, GetACP());
}

TEST_F(Recognizer, WithoutLibrariesNothingIsAnArchiveButCabinetSelfExtractors) {
    std::string lzh = File("a.lzh", "..-lh5-");
    EXPECT_FALSE(AreAllArchives({lzh}));
    EXPECT_EQ(ArchiveKind::None, GetArchiveKind(lzh));
    EXPECT_FALSE(IsArchiverBusy());
    EXPECT_FALSE(IsBzip2Supported());

    std::string sfx = CabinetSelfExtractor("setup.exe", 70000);
    EXPECT_EQ(ArchiveKind::Cab, GetArchiveKind(sfx));
    EXPECT_FALSE(AreAllArchives({sfx}));
}

TEST_F(Recognizer, QuickTestTakesArchiveExtensionsOnTrust) {
    InstallAll();
    std::string fake = File("backup.LZH", "this is no archive");
    EXPECT_TRUE(AreAllArchives({fake}));
    EXPECT_FALSE(Called("Unlha32.dll", "UnlhaCheckArchive"));

    // The verified test asks the LZH library only, and it says no.
    EXPECT_EQ(ArchiveKind::None, GetArchiveKind(fake));
    EXPECT_TRUE(Called("Unlha32.dll", "UnlhaCheckArchive\t" + fake + "\t1"));
    for (const char* other :
         {"Unzip32.dll", "cab32.dll", "Tar32.dll", "Unarj32j.dll", "unrar32.dll"})
        EXPECT_EQ(0, Checks(other)) << other;
}

TEST_F(Recognizer, QuickTestRefusesAListWithOneNonArchive) {
    InstallAll();
    std::string text = File("note.txt", "hello");
    std::string exe = File("b.exe", "MZ");
    EXPECT_FALSE(AreAllArchives({}));
    EXPECT_TRUE(AreAllArchives({File("a.zip", ""), File("b.cab", ""), File("c.tar.gz", "")}));
    EXPECT_FALSE(AreAllArchives({File("a.zip", ""), text, exe}));
    // The list is refused at the text file; the program after it is never opened.
    EXPECT_FALSE(Called("Unlha32.dll", "UnlhaCheckArchive"));
}

TEST_F(Recognizer, EachExtensionNeedsItsOwnLibrary) {
    Install({"Zip32j.dll"}); // loads, but guards no extension
    EXPECT_FALSE(AreAllArchives({"x.lzh"}));
    EXPECT_FALSE(AreAllArchives({"x.zip"}));
    Install({"BZ2LIB.dll"});
    EXPECT_FALSE(AreAllArchives({"data.bz2"}));
    Install({"Tar32.dll"});
    EXPECT_TRUE(AreAllArchives({"data.bz2", "a.Z", "b.taz", "c.tgz", "d.gz", "e.tar"}));
    EXPECT_FALSE(AreAllArchives({"data.bz2", "x.cab"}));
    Install({"cab32.dll", "Unarj32j.dll"});
    EXPECT_TRUE(AreAllArchives({"x.cab", "y.ARJ"}));
}

// A library that appears while the program runs is seen a minute after it was last looked for,
// or at once when the settings open; not at each query, which would walk the search path.
TEST_F(Recognizer, MissingLibrariesAreLookedForOnceAMinute) {
    std::uint32_t now = 0xFFFF0000u; // the clock wraps within the minute
    SetLibraryClock([&] { return now; });
    EXPECT_FALSE(IsLibraryAvailable(ArchiverLibrary::Unlha));
    CopyFileA((ProgramFolder() + "Unlha32.dll").c_str(), (ExeFolder() + "Unlha32.dll").c_str(), 0);
    now += 59999;
    EXPECT_FALSE(AreAllArchives({"a.lzh"}));
    now += 1;
    EXPECT_TRUE(AreAllArchives({"a.lzh"}));
    EXPECT_FALSE(IsLibraryAvailable(ArchiverLibrary::Tar));
    CopyFileA((ProgramFolder() + "Tar32.dll").c_str(), (ExeFolder() + "Tar32.dll").c_str(), 0);
    EXPECT_FALSE(IsLibraryAvailable(ArchiverLibrary::Tar));
    LookForMissingLibrariesAgain();
    EXPECT_TRUE(IsLibraryAvailable(ArchiverLibrary::Tar));
    SetLibraryClock(nullptr);
}

TEST_F(Recognizer, RarNeedsBothLibraries) {
    Install({"unrar.dll", "Zip32j.dll"});
    EXPECT_FALSE(IsLibraryAvailable(ArchiverLibrary::Unrar));
    EXPECT_FALSE(AreAllArchives({"a.rar"}));
    Reset();
    Install({"unrar32.dll", "Zip32j.dll"});
    EXPECT_FALSE(IsLibraryAvailable(ArchiverLibrary::Unrar));
    EXPECT_FALSE(AreAllArchives({"a.rar"}));
    Install({"unrar.dll"});
    EXPECT_TRUE(AreAllArchives({"a.rar"}));
    // Only the wrapper stays loaded.
    EXPECT_EQ(nullptr, GetModuleHandleA("unrar.dll"));
    EXPECT_NE(nullptr, GetModuleHandleA("unrar32.dll"));
}

TEST_F(Recognizer, LibraryWithoutTheEntryPointAnswersNo) {
    InstallAs("Zip32j.dll", "Unlha32.dll"); // loads, but has none of the LZH entry points
    std::string lzh = File("a.lzh", "xx-lh5-");
    EXPECT_TRUE(AreAllArchives({lzh}));
    EXPECT_EQ(ArchiveKind::None, GetArchiveKind(lzh));
    EXPECT_FALSE(IsArchiverBusy());
}

TEST_F(Recognizer, ZipJoinsTheSelfExtractorTestFromVersion97) {
    Install({"Unzip32.dll"});
    std::string exe = File("zipsfx.exe", "MZ no signature here");
    struct {
        const char* version;
        bool accepted;
    } cases[] = {{"96", false},
                 {"97", true},
                 {"65632", false} /* 0x10060: low word 96 */,
                 {"-65439", true} /* 0xFFFF0061: low word 97 */};
    for (const auto& c : cases) {
        Control("Unzip32.dll", std::string("answer=yes\r\nversion=") + c.version + "\r\n");
        EXPECT_EQ(c.accepted, AreAllArchives({exe})) << c.version;
    }
    EXPECT_TRUE(Called("Unzip32.dll", "UnZipCheckArchive\t" + exe + "\t0"));
}

TEST_F(Recognizer, SelfExtractorQuickTestUsesLzhWithoutBusyCursor) {
    Install({"Unlha32.dll"});
    Control("Unlha32.dll", "answer=yes\r\ncursor=2\r\n");
    std::string exe = File("lzhsfx.exe", "MZ");
    EXPECT_TRUE(AreAllArchives({exe}));
    auto calls = Calls("Unlha32.dll");
    std::vector<std::string> expected = {"UnlhaSetCursorMode\t0",
                                         "UnlhaCheckArchive\t" + exe + "\t4"};
    EXPECT_EQ(expected, calls);
}

TEST_F(Recognizer, CabinetSelfExtractorFoundByScanOnlyWithCabLibrary) {
    std::string sfx = CabinetSelfExtractor("setup.exe", 70000);
    Install({"cab32.dll"});
    Control("cab32.dll", "answer=no\r\n");
    EXPECT_TRUE(AreAllArchives({sfx}));
    EXPECT_TRUE(Called("cab32.dll", "CabCheckArchive\t" + sfx + "\t0"));
    EXPECT_EQ(ArchiveKind::Cab, GetArchiveKind(sfx));
}

TEST_F(Recognizer, VerifiedTestOfProgramsTriesLibrariesInTurn) {
    InstallAll();
    for (const char* lib : kAllLibraries)
        Control(lib, "answer=no\r\n");
    std::string exe = File("plain.exe", "MZ nothing inside");
    EXPECT_EQ(ArchiveKind::None, GetArchiveKind(exe));
    for (const char* lib :
         {"cab32.dll", "Unzip32.dll", "Unlha32.dll", "Tar32.dll", "Unarj32j.dll", "unrar32.dll"})
        EXPECT_EQ(1, Checks(lib, "CheckArchive\t" + exe + "\t1")) << lib;

    // ZIP answers before LZH, ARJ and RAR are asked; the cabinet library was asked first.
    Reset();
    InstallAll();
    Control("Unzip32.dll", "answer=yes\r\n");
    Control("cab32.dll", "answer=no\r\n");
    EXPECT_EQ(ArchiveKind::Zip, GetArchiveKind(exe));
    EXPECT_TRUE(Called("cab32.dll", "CabCheckArchive"));
    EXPECT_FALSE(Called("Unlha32.dll", "UnlhaCheckArchive"));
    EXPECT_FALSE(Called("unrar32.dll", "UnrarCheckArchive"));

    EXPECT_EQ(ArchiveKind::None, GetArchiveKind(File("readme.txt", "MSCF\0\0\0\0")));
}

TEST_F(Recognizer, VerifiedTestOfEachFamily) {
    InstallAll();
    EXPECT_EQ(ArchiveKind::Lzh, GetArchiveKind(File("a.lzh", "xx-lh5-")));
    EXPECT_EQ(ArchiveKind::Zip, GetArchiveKind(File("a.zip", "PK\x03\x04")));
    EXPECT_EQ(ArchiveKind::Cab, GetArchiveKind(File("a.cab", std::string("MSCF\0\0\0\0", 8))));
    EXPECT_EQ(ArchiveKind::Tar, GetArchiveKind(File("a.tar.gz", "\x1f\x8b\x08")));
    EXPECT_EQ(ArchiveKind::Arj, GetArchiveKind(File("a.arj", "\x60\xea")));
    EXPECT_EQ(ArchiveKind::Rar, GetArchiveKind(File("a.rar", "Rar!\x1a\x07")));
    EXPECT_EQ(ArchiveKind::None, GetArchiveKind(File("b.zip", "not a zip")));
    // Japanese names reach the library byte for byte.
    std::string jp = File("表示テスト.lzh", "xx-lh5-");
    EXPECT_EQ(ArchiveKind::Lzh, GetArchiveKind(jp));
    EXPECT_TRUE(Called("Unlha32.dll", "UnlhaCheckArchive\t" + jp + "\t1"));
}

TEST_F(Recognizer, CursorModeIsRestoredAfterTheCheck) {
    Install({"Unlha32.dll", "Unarj32j.dll"});
    Control("Unlha32.dll", "cursor=3\r\n");
    Control("Unarj32j.dll", "cursor=5\r\n");
    std::string lzh = File("a.lzh", "xx-lh5-");
    std::string arj = File("a.arj", "\x60\xea");
    EXPECT_EQ(ArchiveKind::Lzh, GetArchiveKind(lzh));
    EXPECT_EQ(ArchiveKind::Arj, GetArchiveKind(arj));
    std::vector<std::string> lzhCalls = {"UnlhaGetCursorMode", "UnlhaSetCursorMode\t0",
                                         "UnlhaCheckArchive\t" + lzh + "\t1",
                                         "UnlhaSetCursorMode\t3"};
    std::vector<std::string> arjCalls = {"UnarjGetCursorMode", "UnarjSetCursorMode\t0",
                                         "UnarjCheckArchive\t" + arj + "\t1",
                                         "UnarjSetCursorMode\t5"};
    EXPECT_EQ(lzhCalls, Calls("Unlha32.dll"));
    EXPECT_EQ(arjCalls, Calls("Unarj32j.dll"));
}

TEST_F(Recognizer, FaultInsideTheTarCheckCountsAsNo) {
    Install({"Tar32.dll"});
    Control("Tar32.dll", "fault=1\r\n");
    std::string tgz = File("a.tgz", "\x1f\x8b\x08");
    EXPECT_EQ(ArchiveKind::None, GetArchiveKind(tgz));
    EXPECT_EQ(ArchiveKind::None, GetArchiveKind(tgz));
    // The thread's handler chain is intact afterwards: checks and C++ exceptions still work.
    Control("Tar32.dll", "");
    EXPECT_EQ(ArchiveKind::Tar, GetArchiveKind(tgz));
    EXPECT_THROW(HasCabinetSignature(dir_.path() + "missing.exe"), EFOpenError);
}

TEST_F(Recognizer, FaultInsideAnotherLibraryIsReportedAndTheCursorModeRestored) {
    Install({"Unlha32.dll"});
    Control("Unlha32.dll", "fault=1\r\ncursor=7\r\n");
    std::string lzh = File("a.lzh", "xx-lh5-");
    std::string message; // names the file the library was reading, which the user knows
    try {
        GetArchiveKind(lzh);
    } catch (const EAppError& error) {
        message = error.what();
    }
    EXPECT_EQ("ファイル：" + lzh +
                  "\r\nこのファイルを調べている間に、Unlha32.dll の中でエラーが発生しました。"
                  "\r\nUnlha32.dll を新しい版に入れ替えるか、取り除いてください。",
              message);
    auto calls = Calls("Unlha32.dll");
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ("UnlhaSetCursorMode\t7", calls.back());
}

TEST_F(Recognizer, BusyWhenAnyLibraryRuns) {
    InstallAll();
    EXPECT_FALSE(IsArchiverBusy());
    for (const char* lib : {"Unlha32.dll", "cab32.dll", "Tar32.dll", "Unarj32j.dll", "unrar32.dll",
                            "Unzip32.dll", "Zip32j.dll"})
        EXPECT_FALSE(Calls(lib).empty()) << lib << " was not asked";
    for (const char* lib : {"Unlha32.dll", "cab32.dll", "Tar32.dll", "Unarj32j.dll", "unrar32.dll",
                            "Unzip32.dll", "Zip32j.dll"}) {
        Control(lib, "running=1\r\n");
        EXPECT_TRUE(IsArchiverBusy()) << lib;
        Control(lib, "");
    }
    // The first busy library ends the question.
    Control("Unlha32.dll", "running=1\r\n");
    ClearStandinLog(ExeFolder(), "Zip32j.dll");
    EXPECT_TRUE(IsArchiverBusy());
    EXPECT_TRUE(Calls("Zip32j.dll").empty());
    Control("Unlha32.dll", "");
    // Libraries another thread holds (checking files aside) are busy, and are not waited for.
    const win::ScopedHandle held(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    const win::ScopedHandle release(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    std::thread aside([&] {
        TArchiverLibrariesHold hold;
        SetEvent(held.get());
        WaitForSingleObject(release.get(), 10000);
    });
    WaitForSingleObject(held.get(), 10000);
    ClearStandinLog(ExeFolder(), "Unlha32.dll");
    EXPECT_TRUE(IsArchiverBusy());
    EXPECT_TRUE(Calls("Unlha32.dll").empty()) << "asked while another thread held it";
    SetEvent(release.get());
    aside.join();
    EXPECT_FALSE(IsArchiverBusy());
}

TEST_F(Recognizer, Bzip2SupportFromTarVersionOrBz2Library) {
    Install({"Tar32.dll"});
    Control("Tar32.dll", "version=49\r\n");
    EXPECT_FALSE(IsBzip2Supported());
    Control("Tar32.dll", "version=65585\r\n"); // 0x10031: low word 49
    EXPECT_FALSE(IsBzip2Supported());
    Control("Tar32.dll", "version=50\r\n");
    EXPECT_TRUE(IsBzip2Supported());
    Control("Tar32.dll", "version=49\r\n");
    Install({"BZ2LIB.dll"});
    EXPECT_TRUE(IsBzip2Supported());
}

TEST_F(Recognizer, UnloadingFreesEveryLibrary) {
    InstallAll();
    EXPECT_FALSE(IsArchiverBusy());
    EXPECT_TRUE(IsBzip2Supported());
    EXPECT_NE(nullptr, GetModuleHandleA("Unlha32.dll"));
    UnloadArchiverLibraries();
    for (const char* lib : kAllLibraries)
        EXPECT_EQ(nullptr, GetModuleHandleA(lib)) << lib;
}

TEST_F(Recognizer, CabinetScanOfRealCabinetData) {
    EXPECT_TRUE(HasCabinetSignature(CabinetSelfExtractor("sfx70000.exe", 70000)));
    EXPECT_TRUE(HasCabinetSignature(CabinetSelfExtractor("sfxlast.exe", 106488)));
    EXPECT_FALSE(HasCabinetSignature(CabinetSelfExtractor("sfxlate.exe", 106489)));
    EXPECT_TRUE(HasCabinetSignature(File("short.exe", "MZ......MSCF")));
    EXPECT_FALSE(HasCabinetSignature(File("short2.exe", "MZ......MSC")));
    EXPECT_FALSE(HasCabinetSignature(File("empty.exe", "")));
}

TEST_F(Recognizer, CabinetScanReportsAFileItCannotOpen) {
    std::string missing = dir_.path() + "無い.exe";
    try {
        HasCabinetSignature(missing);
        FAIL() << "no error";
    } catch (const EFOpenError& e) {
        EXPECT_EQ("ファイル " + missing + " は開けません", e.what());
    }
    // A file another program is writing is not read either.
    std::string busy = File("busy.exe", "MZ");
    HANDLE writer = CreateFileA(busy.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, writer);
    EXPECT_THROW(HasCabinetSignature(busy), EFOpenError);
    CloseHandle(writer);
    EXPECT_FALSE(HasCabinetSignature(busy));

    // The quick test of a drop passes the error on.
    Install({"cab32.dll"});
    Control("cab32.dll", "answer=no\r\n");
    EXPECT_THROW(AreAllArchives({missing}), EFOpenError);
}

namespace {
// Files that are not on the disk (Wine cannot mark them): the attributes the platform gives a
// cloud placeholder or an offline file, added to what the file really has.
std::uint32_t extraAttributes = 0;
std::uint32_t AttributesAwayFromTheDisk(const std::string& path) {
    return FileAttributesQuiet(path) | extraAttributes;
}
} // namespace

// The quick test of a drag never reads a self-extractor candidate whose bytes are not on the disk
// (it would be fetched whole first) or whose path is too long for the libraries; the extension
// rules still apply. No library is handed a path that long by the verified test either.
TEST_F(Recognizer, QuickTestReadsNoFileAwayFromTheDiskOrTooLong) {
    InstallAll();
    std::string sfx = CabinetSelfExtractor("setup.exe", 70000);
    std::string lzh = File("a.lzh", "..-lh5-");
    ASSERT_TRUE(AreAllArchives({sfx, lzh}));
    FileAttributesCall previous = ReplaceFileAttributesCall(AttributesAwayFromTheDisk);
    for (std::uint32_t away : {0x1000u, 0x40000u, 0x400000u}) {
        extraAttributes = away;
        for (const char* lib : kAllLibraries)
            ClearStandinLog(ExeFolder(), lib);
        EXPECT_FALSE(AreAllArchives({sfx})) << away;
        EXPECT_TRUE(AreAllArchives({lzh})) << away;
        for (const char* lib : kAllLibraries)
            EXPECT_EQ(0, Checks(lib)) << lib << " read a file away from the disk: " << away;
    }
    ReplaceFileAttributesCall(previous);

    std::string deep = "C:\\";
    while (deep.size() < 270)
        deep += "とても深いフォルダ\\";
    for (const char* lib : kAllLibraries)
        ClearStandinLog(ExeFolder(), lib);
    EXPECT_FALSE(AreAllArchives({deep + "setup.exe"}));
    EXPECT_EQ(ArchiveKind::None, GetArchiveKind(deep + "a.lzh"));
    EXPECT_EQ(ArchiveKind::None, GetArchiveKind(deep + "a.zip"));
    for (const char* lib : kAllLibraries)
        EXPECT_EQ(0, Checks(lib)) << lib << " was handed a path too long for it";
}
