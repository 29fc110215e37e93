// The automatic import's watch against real folders: a start that is whole or nothing, and a
// folder that goes away or whose watch goes bad. Handlers run on this thread, so every wait here
// pumps messages.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "support/WinTestSupport.h"
#include "util/FileFind.h"
#include "util/ScopedWin.h"
#include "watch/DiscMonitor.h"
#include "watch/ImportWatch.h"

using testing_support::MakeFolder;
using testing_support::PumpFor;
using testing_support::PumpUntil;
using testing_support::TempFolder;
using testing_support::WriteFileBytes;

namespace {

// Faults of a watch whose handle goes bad (a network share that drops), each set to strike
// once: the wait on it fails, or re-arming it after a report does; or a handle that no longer
// reports at all (as after a sleep).
std::atomic<bool> failWait{false}, failRearm{false}, staleWatch{false};
// The worker waits, and no longer on the watch.
std::atomic<bool> deafWait{false};

// The watch is the last of the handles.
DWORD WINAPI WaitOrFail(DWORD count, const HANDLE* handles, BOOL all, DWORD ms) {
    if (failWait.exchange(false))
        return WAIT_FAILED;
    const bool deaf = staleWatch;
    deafWait = deaf;
    const DWORD result = WaitForMultipleObjects(count - deaf, handles, all, ms);
    deafWait = false;
    return result;
}

BOOL WINAPI RearmOrFail(HANDLE watch) {
    return !failRearm.exchange(false) && FindNextChangeNotification(watch);
}

// The worker's wait and re-arming go through the calls above while it lives; the platform's
// are back at the end.
struct WatchCallsSeam {
    ~WatchCallsSeam() { TDiscMonitorThread::SetWatchCalls(old); }
    TDiscMonitorThread::TWatchCalls old =
        TDiscMonitorThread::SetWatchCalls({WaitOrFail, RearmOrFail});
};

// Sets `fault` to strike at the worker's next wait or re-arming, until the end.
struct BadWatchHandle {
    explicit BadWatchHandle(std::atomic<bool>& fault) { fault = true; }
    ~BadWatchHandle() { failWait = failRearm = staleWatch = false; }
};

// Takes the process's free address space in pieces of a megabyte or more, so that no thread
// can be made (each needs a stack of its size) while small allocations still succeed.
class NoRoomForThreads {
  public:
    NoRoomForThreads() {
        for (SIZE_T size = 256 << 20; size >= (1 << 20); size /= 2)
            while (void* piece = VirtualAlloc(nullptr, size, MEM_RESERVE, PAGE_NOACCESS))
                pieces_.push_back(piece);
    }
    ~NoRoomForThreads() {
        for (void* piece : pieces_)
            VirtualFree(piece, 0, MEM_RELEASE);
    }
    NoRoomForThreads(const NoRoomForThreads&) = delete;
    NoRoomForThreads& operator=(const NoRoomForThreads&) = delete;

  private:
    std::vector<void*> pieces_;
};

std::vector<watch::TListedFile> UnreadableFolder(const std::string&) {
    throw ESearchError("Access is denied");
}

} // namespace

// A watch starts whole or not at all: a monitor whose worker cannot be made, or a first listing
// that fails once the monitor runs, leaves no mark, no listings and the monitor inactive where
// it was, and a later start works.
TEST(ImportWatch, AWatchStartsWholeOrNotAtAll) {
    TempFolder folder("iwf");
    WriteFileBytes(folder.path() + "old.lzh", "x");
    TDiscMonitor monitor;
    monitor.SetDirectory("c:\\temp");
    watch::TImportWatch importWatch(monitor);
    for (bool threads : {false, true}) {
        SCOPED_TRACE(threads ? "the first listing fails" : "no thread for the monitor");
        {
            std::optional<NoRoomForThreads> full;
            if (!threads)
                full.emplace();
            importWatch.Lister = threads ? UnreadableFolder : watch::ListFolderFiles;
            EXPECT_THROW(importWatch.Start(folder.path()), std::exception);
        }
        EXPECT_FALSE(importWatch.Running());
        EXPECT_EQ(0, monitor.Tag());
        EXPECT_FALSE(monitor.Active());
        EXPECT_EQ("c:\\temp", monitor.Directory());
        EXPECT_EQ(nullptr, importWatch.Stop());
    }
    importWatch.Lister = watch::ListFolderFiles;
    importWatch.Start(folder.path());
    EXPECT_TRUE(importWatch.Running());
    EXPECT_EQ(1, monitor.Tag());
    EXPECT_TRUE(monitor.Active());
    EXPECT_EQ(folder.path(), monitor.Directory());
    EXPECT_EQ(0u, importWatch.CollectedCount());
}

// The watch never ends by itself. A folder away counts nothing and keeps what was collected;
// when it answers again, what arrived meanwhile is collected and the monitor reports again.
// So it is after a watch whose handle went bad, and after the computer woke.
TEST(ImportWatch, AFolderAwayIsWaitedForAndWatchedAnewWhenItAnswers) {
    TempFolder parent("iwa");
    const std::string folder = parent.path() + "watched";
    MakeFolder(folder);
    WriteFileBytes(folder + "\\old.lzh", "x");
    WatchCallsSeam seam;
    TDiscMonitor monitor;
    monitor.SetChangeDelay(200);
    watch::TImportWatch importWatch(monitor);
    int invalids = 0;
    monitor.OnChange = [&](TDiscMonitor&) { importWatch.Changed(); };
    monitor.OnInvalid = [&](TDiscMonitor&) {
        ++invalids;
        importWatch.Invalid();
    };
    importWatch.Start(folder);
    // With the program's tick, or with the monitor's reports alone.
    auto collects = [&](std::size_t count, bool ticks) {
        return PumpUntil(
            [&] {
                if (ticks)
                    importWatch.Look();
                return importWatch.CollectedCount() == count && !importWatch.Away();
            },
            10000);
    };
    WriteFileBytes(folder + "\\new.lzh", "x");
    EXPECT_TRUE(collects(1, false));

    ASSERT_TRUE(MoveFileA(folder.c_str(), (folder + "-away").c_str()));
    EXPECT_TRUE(PumpUntil([&] { return importWatch.Look(), importWatch.Away(); }, 10000));
    WriteFileBytes(folder + "-away\\meanwhile.lzh", "x");
    PumpFor(1500);
    EXPECT_TRUE(importWatch.Away());
    EXPECT_EQ(1u, importWatch.CollectedCount());
    ASSERT_TRUE(MoveFileA((folder + "-away").c_str(), folder.c_str()));
    EXPECT_TRUE(collects(2, true));

    // A handle gone bad at the wait or at the re-arming after a report is reported once; the
    // next tick arms the watch again, lists what came meanwhile, and the watch reports again.
    std::size_t count = 2;
    int faults = 0;
    for (std::atomic<bool>* fault : {&failWait, &failRearm}) {
        {
            BadWatchHandle bad(*fault);
            WriteFileBytes(folder + "\\bad" + std::to_string(count) + ".lzh", "x");
            EXPECT_TRUE(collects(++count, false));
            ++faults;
            EXPECT_TRUE(PumpUntil([&] { return invalids == faults; }, 5000));
        }
        WriteFileBytes(folder + "\\after" + std::to_string(count) + ".lzh", "x");
        EXPECT_TRUE(collects(++count, true));
    }
    {
        // A watch that no longer reports: a wait begun before may still hear this file, the next
        // one hears nothing, and only the watch armed anew on waking lists what came meanwhile.
        BadWatchHandle stale(staleWatch);
        WriteFileBytes(folder + "\\later.lzh", "x");
        ASSERT_TRUE(PumpUntil([&] { return deafWait && !importWatch.Looking(); }, 5000));
        const std::size_t heard = importWatch.CollectedCount();
        WriteFileBytes(folder + "\\resumed.lzh", "x");
        PumpFor(1500);
        EXPECT_EQ(heard, importWatch.CollectedCount());
        importWatch.Resumed();
        EXPECT_TRUE(collects(8, false));
    }

    std::unique_ptr<watch::TImportListing> listing = importWatch.Stop();
    ASSERT_NE(nullptr, listing);
    std::vector<std::string> collected;
    for (const watch::TListedFile& file : listing->Collected())
        collected.push_back(file.path.substr(folder.size() + 1));
    // The last two may come in one listing, in the file system's order.
    ASSERT_EQ(8u, collected.size());
    std::sort(collected.begin() + 6, collected.end());
    EXPECT_EQ((std::vector<std::string>{"new.lzh", "meanwhile.lzh", "bad2.lzh", "after3.lzh",
                                        "bad4.lzh", "after5.lzh", "later.lzh", "resumed.lzh"}),
              collected);
    EXPECT_FALSE(monitor.Active());
    EXPECT_EQ(0, monitor.Tag());
}

namespace {

HANDLE WINAPI RefuseToWatch(LPCSTR, BOOL, DWORD) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return INVALID_HANDLE_VALUE;
}

// A listing that waits for the test's word before it lists, and says when it has.
win::ScopedHandle listGate(CreateEventA(nullptr, TRUE, TRUE, nullptr));
win::ScopedHandle listed(CreateEventA(nullptr, FALSE, FALSE, nullptr));
std::vector<watch::TListedFile> GatedListing(const std::string& folder) {
    WaitForSingleObject(listGate.get(), 10000);
    std::vector<watch::TListedFile> files = watch::ListFolderFiles(folder);
    SetEvent(listed.get());
    return files;
}

} // namespace

// A folder whose changes are never reported loses nothing (on some network servers the watch
// cannot be opened, or opens and never signals). While the monitor cannot be armed, each tick's
// look lists the folder; the end's last look lists it whatever the monitor did, after the look
// under way, which is waited for: a file that look saw and that went before the end counts as
// gone, not as never seen. The import lists once more, and hands over every archive.
TEST(ImportWatch, AFolderThatNeverReportsAChangeLosesNothing) {
    TempFolder folder("iwn");
    const std::string watched = folder.path().substr(0, folder.path().size() - 1);
    WriteFileBytes(folder.path() + "old.lzh", "x");
    WatchCallsSeam seam;
    TDiscMonitor monitor;
    watch::TImportWatch importWatch(monitor);
    monitor.OnChange = [&](TDiscMonitor&) { importWatch.Changed(); };
    monitor.OnInvalid = [&](TDiscMonitor&) { importWatch.Invalid(); };
    auto ticksCollect = [&](std::size_t count) {
        return PumpUntil([&] { return importWatch.Look(), importWatch.CollectedCount() == count; },
                         10000);
    };
    const auto platformOpen = TDiscMonitorThread::SetOpenCall(RefuseToWatch);
    importWatch.Start(watched);
    WriteFileBytes(folder.path() + "a.lzh", "x");
    EXPECT_TRUE(ticksCollect(1)) << "not listed while the monitor was not armed";
    TDiscMonitorThread::SetOpenCall(platformOpen);
    {
        // Armed again at the next look, and deaf from then on.
        BadWatchHandle stale(staleWatch);
        ASSERT_TRUE(PumpUntil([&] { return importWatch.Look(), deafWait.load(); }, 10000));
        ASSERT_TRUE(PumpUntil([&] { return !importWatch.Looking(); }, 10000));
        WriteFileBytes(folder.path() + "b.lzh", "x");
        PumpFor(1500);
        EXPECT_EQ(1u, importWatch.CollectedCount()) << "the watch heard a file";
        std::size_t stillThere = 99;
        auto lastLook = [&] {
            stillThere = 99;
            return importWatch.LastLook([&](std::size_t count) { stillThere = count; });
        };
        auto answered = [&] { return PumpUntil([&] { return stillThere != 99; }, 10000); };
        ASSERT_TRUE(lastLook());
        EXPECT_TRUE(answered());
        EXPECT_EQ(2u, stillThere);
        EXPECT_EQ(2u, importWatch.CollectedCount());

        WriteFileBytes(folder.path() + "c.lzh", "x");
        importWatch.Lister = GatedListing;
        ResetEvent(listGate.get());
        ResetEvent(listed.get());
        importWatch.Changed();
        ASSERT_TRUE(lastLook());
        SetEvent(listGate.get());
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(listed.get(), 10000));
        DeleteFileA((folder.path() + "c.lzh").c_str());
        EXPECT_TRUE(answered());
        EXPECT_EQ(2u, stillThere);
        EXPECT_EQ(3u, importWatch.CollectedCount());
    }

    WriteFileBytes(folder.path() + "d.lzh", "x");
    const auto yes = [](const std::string&) { return true; };
    std::vector<std::string> sent;
    std::optional<watch::TImportOutcome> outcome;
    ASSERT_TRUE(importWatch.Import(
        {watch::ListedFileExists, yes, yes},
        [&](const std::vector<std::string>& archives) {
            sent = archives;
            return watch::TImportHandOver::Done;
        },
        [&](const watch::TImportOutcome& imported, watch::TImportHandOver, std::exception_ptr) {
            outcome = imported;
        }));
    EXPECT_FALSE(importWatch.Running());
    EXPECT_FALSE(monitor.Active());
    ASSERT_TRUE(PumpUntil([&] { return outcome.has_value(); }, 10000));
    const std::string& in = folder.path();
    EXPECT_EQ((std::vector<std::string>{in + "a.lzh", in + "b.lzh", in + "d.lzh"}), sent);
    EXPECT_EQ(std::vector<std::string>{in + "c.lzh"}, outcome->gone);
    EXPECT_EQ(3u, outcome->count);
}
