// The shell tree's one-shot watcher against real folders: one notification on this thread, or
// none when it fails or is cancelled.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "support/WinTestSupport.h"
#include "watch/FileChangeThread.h"

using testing_support::MakeFolder;
using testing_support::PumpFor;
using testing_support::PumpUntil;
using testing_support::TempFolder;
using testing_support::WriteFileBytes;

TEST(FileChange, FilterSetBitFiveIsSecurity) {
    EXPECT_EQ(0x1Fu, TFileChangeThread::PlatformFilter(31));
    EXPECT_EQ(DWORD(FILE_NOTIFY_CHANGE_DIR_NAME), TFileChangeThread::PlatformFilter(2));
    EXPECT_EQ(0x11Fu, TFileChangeThread::PlatformFilter(63));
    EXPECT_EQ(DWORD(FILE_NOTIFY_CHANGE_SECURITY), TFileChangeThread::PlatformFilter(32));
}

TEST(FileChange, OneChangeEndsItWithOneNotificationOnTheGuiThread) {
    TempFolder folder("fcn");
    int calls = 0;
    DWORD thread = 0;
    TFileChangeThread watcher(folder.path(), false, 31, [&](TFileChangeThread& sender) {
        EXPECT_EQ(&watcher, &sender);
        ++calls;
        thread = GetCurrentThreadId();
    });
    for (int i = 0; i < 10 && calls == 0; ++i) {
        WriteFileBytes(folder.path() + "n" + std::to_string(i) + ".txt", "x");
        PumpUntil([&] { return calls > 0; }, 1000);
    }
    WriteFileBytes(folder.path() + "more.txt", "x");
    PumpFor(1000);
    EXPECT_EQ(1, calls);
    EXPECT_EQ(GetCurrentThreadId(), thread);
    EXPECT_TRUE(watcher.Finished());
    EXPECT_FALSE(watcher.Failed());
    EXPECT_EQ(0u, watcher.ExitCode());
}

TEST(FileChange, FolderNamesOnlyWaitsForAFolder) {
    TempFolder folder("fcd");
    int calls = 0;
    TFileChangeThread watcher(folder.path(), false, 2, [&](TFileChangeThread&) { ++calls; });
    PumpFor(500);
    WriteFileBytes(folder.path() + "file.txt", "x");
    PumpFor(2000);
    EXPECT_EQ(0, calls);
    for (int i = 0; i < 10 && calls == 0; ++i) {
        MakeFolder(folder.path() + "d" + std::to_string(i));
        PumpUntil([&] { return calls > 0; }, 1000);
    }
    EXPECT_EQ(1, calls);
}

TEST(FileChange, MissingFolderFailsWithoutNotification) {
    TempFolder folder("fcm");
    int calls = 0;
    TFileChangeThread watcher(folder.path() + "missing", false, 31,
                              [&](TFileChangeThread&) { ++calls; });
    EXPECT_TRUE(PumpUntil([&] { return watcher.Finished(); }, 10000));
    PumpFor(500);
    EXPECT_TRUE(watcher.Failed());
    EXPECT_NE(0u, watcher.ExitCode());
    EXPECT_EQ(0, calls);
}

TEST(FileChange, CancelledWatcherNeverNotifies) {
    TempFolder folder("fcc");
    int calls = 0;
    auto watcher = std::make_unique<TFileChangeThread>(folder.path(), false, 31,
                                                       [&](TFileChangeThread&) { ++calls; });
    PumpFor(500);
    watcher->Terminate();
    EXPECT_TRUE(watcher->Failed());
    EXPECT_TRUE(PumpUntil([&] { return watcher->Finished(); }, 10000));
    WriteFileBytes(folder.path() + "late.txt", "x");
    PumpFor(1000);
    EXPECT_EQ(0, calls);
    // Forgetting a running watcher needs no wait either.
    watcher = std::make_unique<TFileChangeThread>(folder.path(), false, 31,
                                                  [&](TFileChangeThread&) { ++calls; });
    watcher.reset();
    WriteFileBytes(folder.path() + "later.txt", "x");
    PumpFor(1000);
    EXPECT_EQ(0, calls);
}
