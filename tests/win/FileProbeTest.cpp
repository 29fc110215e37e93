// Quiet file-system questions and locale comparisons against the real platform.
#include "support/WinTestSupport.h"
#include "util/FileProbe.h"
#include "util/LocaleText.h"
#include "util/ScopedWin.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <thread>

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

namespace {
UINT CurrentErrorMode() {
    UINT mode = SetErrorMode(0);
    SetErrorMode(mode);
    return mode;
}
} // namespace

// The folder watchers probe on their own threads while the GUI thread probes too. Two guards
// that overlap, opened and closed in crossed order on two threads: the mode stays set while
// either is open and is the old one after both.
TEST(ScopedErrorMode, OverlappingGuardsOnTwoThreadsRestoreTheModeOnlyAtTheLast) {
    // The process may start with the mode set already; begin without it to see it set.
    const UINT started = SetErrorMode(0);
    const UINT before = CurrentErrorMode();
    HANDLE opened = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE close = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    UINT modeWhileOtherOpen = 0;
    {
        auto guard = std::make_unique<win::ScopedErrorMode>();
        std::thread other([&] {
            win::ScopedErrorMode quiet;
            SetEvent(opened);
            WaitForSingleObject(close, 10000);
        });
        WaitForSingleObject(opened, 10000);
        guard.reset(); // the first guard ends while the other thread still probes
        modeWhileOtherOpen = CurrentErrorMode();
        SetEvent(close);
        other.join();
    }
    CloseHandle(opened);
    CloseHandle(close);
    EXPECT_NE(0u, modeWhileOtherOpen & SEM_FAILCRITICALERRORS);
    EXPECT_EQ(before, CurrentErrorMode());

    // Many short guards on two threads at once leave nothing behind.
    auto probe = [] {
        for (int i = 0; i < 2000; ++i)
            win::ScopedErrorMode quiet;
    };
    std::thread a(probe), b(probe);
    a.join();
    b.join();
    EXPECT_EQ(before, CurrentErrorMode());
    SetErrorMode(started);
}
