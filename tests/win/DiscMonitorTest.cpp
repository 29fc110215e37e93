// The folder monitor and the one-shot watcher against real folders. Their handlers run on the
// thread that created them, so every wait here pumps messages; counts are taken after
// generous quiet periods, never at exact moments.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "support/WinTestSupport.h"
#include "util/Errors.h"
#include "util/FileFind.h"
#include "watch/DiscMonitor.h"
#include "watch/FileChangeThread.h"
#include "watch/ImportWatch.h"

using testing_support::TempFolder;
using testing_support::WriteFileBytes;

namespace {

// Dispatches this thread's messages until `condition` holds or `ms` have passed.
template <typename Condition> bool PumpUntil(Condition condition, DWORD ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (condition())
            return true;
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= ms)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(ms - elapsed, 50),
                                  QS_ALLINPUT);
    }
}

void Pump(DWORD ms) {
    PumpUntil([] { return false; }, ms);
}

void AppendToFile(const std::string& path, const std::string& bytes) {
    HANDLE file =
        CreateFileA(path.c_str(), FILE_APPEND_DATA, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file) << path;
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

// A monitor whose handlers count their calls and note the thread they ran on.
struct Watched {
    std::unique_ptr<TDiscMonitor> monitor = std::make_unique<TDiscMonitor>();
    int changes = 0;
    int invalids = 0;
    DWORD handlerThread = 0;
    std::string shown;
    int file = 0;

    Watched(const std::string& folder, int delay) {
        monitor->SetDirectory(folder);
        monitor->SetChangeDelay(delay);
        monitor->OnChange = [this](TDiscMonitor&) {
            ++changes;
            handlerThread = GetCurrentThreadId();
        };
        monitor->OnInvalid = [this](TDiscMonitor&) { ++invalids; };
        monitor->ShowMessage = [this](const std::string& text) { shown += text; };
    }

    // Creates new files in `folder` now and then until a change is reported, then waits
    // until reports have stopped for a while: the watch is open and quiet afterwards.
    bool ReportsNewFiles(const std::string& folder) {
        const int before = changes;
        bool seen = false;
        for (int round = 0; round < 10 && !seen; ++round) {
            WriteFileBytes(folder + "new" + std::to_string(++file) + ".txt", "x");
            seen = PumpUntil([&] { return changes > before; }, 1000);
        }
        seen = seen || PumpUntil([&] { return changes > before; }, 5000);
        Settle();
        return seen;
    }

    // Pumps until no report has come for a generous quiet period.
    void Settle() {
        const DWORD quiet = monitor->ChangeDelay() + 1000;
        for (int last = -1; last != changes + invalids;) {
            last = changes + invalids;
            Pump(quiet);
        }
    }
};

std::string MakeFolder(const std::string& path) {
    EXPECT_TRUE(CreateDirectoryA(path.c_str(), nullptr)) << path;
    return path;
}

// The threads of this process.
std::set<DWORD> ThreadIds() {
    std::set<DWORD> ids;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        if (entry.th32OwnerProcessID == GetCurrentProcessId())
            ids.insert(entry.th32ThreadID);
    CloseHandle(snapshot);
    return ids;
}

// The threads in `after` that are not in `before`.
std::set<DWORD> NewThreads(const std::set<DWORD>& before, const std::set<DWORD>& after) {
    std::set<DWORD> added;
    for (DWORD id : after)
        if (!before.count(id))
            added.insert(id);
    return added;
}

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

// A sent message (the monitor's hand-off) is waiting for this thread.
bool SentMessagePending() {
    return (HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE) != 0;
}

} // namespace

TEST(DiscMonitor, Defaults) {
    TDiscMonitor monitor;
    EXPECT_EQ("", monitor.Directory());
    EXPECT_EQ(TMonitorFilters(moFilename), monitor.Filters());
    EXPECT_TRUE(monitor.SubTree());
    EXPECT_FALSE(monitor.Active());
    EXPECT_EQ(500, monitor.ChangeDelay());
    EXPECT_FALSE(monitor.ShowDesignMsg());
    EXPECT_EQ(0, monitor.Tag());
}

// A resident program keeps a monitor all its life and may never watch anything: its worker
// thread exists from the first activation until the monitor is destroyed.
TEST(DiscMonitor, ItsThreadLivesFromTheFirstActivationToTheEnd) {
    TempFolder folder("dmt");
    const std::set<DWORD> before = ThreadIds();
    auto monitor = std::make_unique<TDiscMonitor>();
    monitor->SetDirectory(folder.path());
    EXPECT_TRUE(NewThreads(before, ThreadIds()).empty());

    monitor->SetActive(true);
    const std::set<DWORD> worker = NewThreads(before, ThreadIds());
    EXPECT_EQ(1u, worker.size());
    // Made once: later activations run the same thread.
    monitor->SetActive(false);
    monitor->SetActive(true);
    EXPECT_EQ(worker, NewThreads(before, ThreadIds()));

    monitor.reset();
    EXPECT_TRUE(NewThreads(before, ThreadIds()).empty());
}

TEST(DiscMonitor, BurstOfFilesGivesOneReportOnTheGuiThread) {
    TempFolder folder("dmb");
    Watched w(folder.path(), 1500);
    w.monitor->SetActive(true);
    ASSERT_TRUE(w.ReportsNewFiles(folder.path()));
    EXPECT_EQ(GetCurrentThreadId(), w.handlerThread);
    // Five new files within about 400 ms, well inside the delay, handlers free to run between
    // them. (Wine drops changes made while the watch is not re-armed; Windows would record
    // those of the delay and report once more after re-arming.)
    w.changes = 0;
    for (int i = 0; i < 5; ++i) {
        WriteFileBytes(folder.path() + "burst" + std::to_string(i) + ".txt", "x");
        Pump(100);
    }
    EXPECT_TRUE(PumpUntil([&] { return w.changes >= 1; }, 10000));
    Pump(3000);
    EXPECT_EQ(1, w.changes);
    EXPECT_EQ(0, w.invalids);
}

TEST(DiscMonitor, BurstOutlastingTheDelayGivesMoreThanOneReport) {
    TempFolder folder("dml");
    Watched w(folder.path(), 600);
    w.monitor->SetActive(true);
    ASSERT_TRUE(w.ReportsNewFiles(folder.path()));
    w.changes = 0;
    // A new file every 100 ms for 3 s; each report takes at least the delay.
    for (int i = 0; i < 30; ++i) {
        WriteFileBytes(folder.path() + "long" + std::to_string(i) + ".txt", "x");
        Pump(100);
    }
    Pump(3000);
    EXPECT_GE(w.changes, 2);
    EXPECT_LE(w.changes, 3000 / 600 + 2);
}

TEST(DiscMonitor, MissingFolderRaisesOnInvalidOnceAndAValidOneResumes) {
    TempFolder folder("dmi"), other("dmo");
    Watched w(folder.path(), 300);
    w.monitor->SetActive(true);
    ASSERT_TRUE(w.ReportsNewFiles(folder.path()));
    w.monitor->SetDirectory(folder.path() + "missing");
    EXPECT_TRUE(PumpUntil([&] { return w.invalids >= 1; }, 10000));
    Pump(2000);
    EXPECT_EQ(1, w.invalids);
    // Without touching Active.
    w.monitor->SetDirectory(other.path());
    EXPECT_TRUE(w.ReportsNewFiles(other.path()));
    EXPECT_EQ(1, w.invalids);
    EXPECT_TRUE(w.monitor->Active());
}

TEST(DiscMonitor, ActivatingOnAMissingFolderRaisesOnInvalidOnce) {
    TempFolder folder("dmn");
    Watched w(folder.path() + "missing", 300);
    w.monitor->SetActive(true);
    EXPECT_TRUE(PumpUntil([&] { return w.invalids >= 1; }, 10000));
    Pump(2000);
    EXPECT_EQ(1, w.invalids);
    EXPECT_EQ(0, w.changes);
}

TEST(DiscMonitor, FolderSetWhileInactiveIsWatchedOnActivation) {
    TempFolder first("dm1"), second("dm2");
    Watched w(first.path(), 300);
    w.monitor->SetDirectory(second.path());
    w.monitor->SetActive(true);
    ASSERT_TRUE(w.ReportsNewFiles(second.path()));
    w.changes = 0;
    WriteFileBytes(first.path() + "elsewhere.txt", "x");
    Pump(2000);
    EXPECT_EQ(0, w.changes);
}

TEST(DiscMonitor, NothingIsReportedWhileInactive) {
    TempFolder folder("dma");
    Watched w(folder.path(), 300);
    w.monitor->SetActive(true);
    ASSERT_TRUE(w.ReportsNewFiles(folder.path()));
    w.monitor->SetActive(false);
    w.changes = 0;
    WriteFileBytes(folder.path() + "quiet1.txt", "x");
    Pump(2000);
    EXPECT_EQ(0, w.changes);
    w.monitor->SetActive(true);
    EXPECT_TRUE(w.ReportsNewFiles(folder.path()));
}

TEST(DiscMonitor, SubTreeDecidesWhetherSubfoldersCount) {
    // Subfolders are made once the watch is open: Wine, unlike Windows, watches only the
    // subfolders that appear after a watch began.
    TempFolder folder("dms");
    Watched w(folder.path(), 300);
    w.monitor->SetActive(true);
    ASSERT_TRUE(w.ReportsNewFiles(folder.path()));
    const std::string sub = MakeFolder(folder.path() + "sub") + "\\";
    Pump(500);
    EXPECT_TRUE(w.ReportsNewFiles(sub));

    w.monitor->SetSubTree(false);
    ASSERT_TRUE(w.ReportsNewFiles(folder.path()));
    const std::string other = MakeFolder(folder.path() + "other") + "\\";
    Pump(500);
    w.changes = 0;
    WriteFileBytes(other + "deep.txt", "x");
    WriteFileBytes(sub + "deep.txt", "x");
    Pump(2000);
    EXPECT_EQ(0, w.changes);
}

TEST(DiscMonitor, FileNamesOnlyIgnoresContentChanges) {
    TempFolder folder("dmf");
    const std::string existing = folder.path() + "existing.txt";
    WriteFileBytes(existing, "start");
    Watched w(folder.path(), 300);
    w.monitor->SetActive(true);
    ASSERT_TRUE(w.ReportsNewFiles(folder.path()));
    w.changes = 0;
    AppendToFile(existing, "more");
    Pump(2000);
    EXPECT_EQ(0, w.changes);

    w.monitor->SetFilters(moLastWrite | moSize);
    EXPECT_EQ(TMonitorFilters(moLastWrite | moSize), w.monitor->Filters());
    EXPECT_TRUE(PumpUntil(
        [&] {
            AppendToFile(existing, "again");
            return w.changes > 0;
        },
        10000));
}

TEST(DiscMonitor, EmptyFilterSetIsRefusedWithAMessage) {
    TempFolder folder("dme");
    Watched w(folder.path(), 300);
    w.monitor->SetActive(true);
    w.monitor->SetFilters(0);
    EXPECT_EQ("Some filter condition must be set.", w.shown);
    EXPECT_EQ(TMonitorFilters(moFilename), w.monitor->Filters());
    // Bits that are no filter make no filter either.
    w.shown.clear();
    w.monitor->SetFilters(0x20);
    EXPECT_EQ("Some filter condition must be set.", w.shown);
    EXPECT_EQ(TMonitorFilters(moFilename), w.monitor->Filters());
    EXPECT_TRUE(w.ReportsNewFiles(folder.path()));
}

TEST(DiscMonitor, DestroyingWithAReportWaitingCallsNoHandler) {
    TempFolder folder("dmd");
    Watched w(folder.path(), 200);
    w.monitor->SetActive(true);
    ASSERT_TRUE(w.ReportsNewFiles(folder.path()));
    const int before = w.changes;
    WriteFileBytes(folder.path() + "pending.txt", "x");
    // Without pumping: the worker's report comes to wait in this thread's queue.
    bool pending = false;
    for (DWORD start = GetTickCount(); !pending && GetTickCount() - start < 10000; Sleep(20))
        pending = SentMessagePending();
    ASSERT_TRUE(pending);
    w.monitor.reset();
    Pump(1500);
    EXPECT_EQ(before, w.changes);
}

TEST(DiscMonitor, DestroyingDuringTheDelayNeitherWaitsForItNorCallsAHandler) {
    TempFolder folder("dmy");
    Watched w(folder.path(), 200);
    w.monitor->SetActive(true);
    ASSERT_TRUE(w.ReportsNewFiles(folder.path()));
    const int before = w.changes;
    w.monitor->SetChangeDelay(20000);
    WriteFileBytes(folder.path() + "delayed.txt", "x");
    Pump(1000);
    const DWORD start = GetTickCount();
    w.monitor.reset();
    EXPECT_LT(GetTickCount() - start, 10000u);
    Pump(1000);
    EXPECT_EQ(before, w.changes);
}

TEST(DiscMonitor, HandlerMayDestroyTheMonitor) {
    TempFolder folder("dmh");
    Watched w(folder.path(), 200);
    int calls = 0;
    w.monitor->OnChange = [&](TDiscMonitor&) {
        ++calls;
        w.monitor.reset();
    };
    w.monitor->SetActive(true);
    for (int i = 0; i < 10 && calls == 0; ++i) {
        WriteFileBytes(folder.path() + "gone" + std::to_string(i) + ".txt", "x");
        PumpUntil([&] { return calls > 0; }, 1000);
    }
    EXPECT_EQ(1, calls);
    EXPECT_EQ(nullptr, w.monitor);
    WriteFileBytes(folder.path() + "after.txt", "x");
    Pump(1000);
    EXPECT_EQ(1, calls);
}

TEST(DiscMonitor, HandlerErrorsGoToTheReporterAndReportingGoesOn) {
    TempFolder folder("dmr");
    std::string reported;
    watch::TGuiHandOff::SetErrorReporter(
        [&](const std::exception& error) { reported += error.what(); });
    {
        Watched w(folder.path(), 200);
        w.monitor->OnChange = [&](TDiscMonitor&) {
            ++w.changes;
            throw EAppError("boom");
        };
        w.monitor->SetActive(true);
        EXPECT_TRUE(w.ReportsNewFiles(folder.path()));
        EXPECT_EQ(0u, reported.rfind("boom", 0));
        EXPECT_TRUE(w.ReportsNewFiles(folder.path()));
    }
    watch::TGuiHandOff::SetErrorReporter(nullptr);
}

namespace {

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
    Pump(1500);
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
        Pump(1500);
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
        Pump(1500);
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
        [&](const std::vector<std::string>& archives) { return sent = archives, true; },
        [&](const watch::TImportOutcome& imported, bool, std::exception_ptr) {
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
    Pump(1000);
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
    Pump(500);
    WriteFileBytes(folder.path() + "file.txt", "x");
    Pump(2000);
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
    Pump(500);
    EXPECT_TRUE(watcher.Failed());
    EXPECT_NE(0u, watcher.ExitCode());
    EXPECT_EQ(0, calls);
}

TEST(FileChange, CancelledWatcherNeverNotifies) {
    TempFolder folder("fcc");
    int calls = 0;
    auto watcher = std::make_unique<TFileChangeThread>(folder.path(), false, 31,
                                                       [&](TFileChangeThread&) { ++calls; });
    Pump(500);
    watcher->Terminate();
    EXPECT_TRUE(watcher->Failed());
    EXPECT_TRUE(PumpUntil([&] { return watcher->Finished(); }, 10000));
    WriteFileBytes(folder.path() + "late.txt", "x");
    Pump(1000);
    EXPECT_EQ(0, calls);
    // Forgetting a running watcher needs no wait either.
    watcher = std::make_unique<TFileChangeThread>(folder.path(), false, 31,
                                                  [&](TFileChangeThread&) { ++calls; });
    watcher.reset();
    WriteFileBytes(folder.path() + "later.txt", "x");
    Pump(1000);
    EXPECT_EQ(0, calls);
}
