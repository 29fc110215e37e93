// The folder monitor against real folders. Its handlers run on the thread that created it, so
// every wait here pumps messages; counts are taken after generous quiet periods, never at exact
// moments.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <string>

#include "support/WinTestSupport.h"
#include "util/Errors.h"
#include "watch/DiscMonitor.h"
#include "watch/GuiHandOff.h"

using testing_support::MakeFolder;
using testing_support::PumpFor;
using testing_support::PumpUntil;
using testing_support::TempFolder;
using testing_support::WriteFileBytes;

namespace {

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
            PumpFor(quiet);
        }
    }
};

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
        PumpFor(100);
    }
    EXPECT_TRUE(PumpUntil([&] { return w.changes >= 1; }, 10000));
    PumpFor(3000);
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
        PumpFor(100);
    }
    PumpFor(3000);
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
    PumpFor(2000);
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
    PumpFor(2000);
    EXPECT_EQ(1, w.invalids);
    EXPECT_EQ(0, w.changes);
}

// What the monitor reports, by its folder, its state, SubTree and Filters. Each row starts from
// a watch that has reported a new file, sets the monitor as the row says, makes the change and
// counts the reports; a monitor left inactive reports again once it is activated.
TEST(DiscMonitor, ReportsFollowTheFolderTheStateTheSubTreeAndTheFilters) {
    enum Change { FileInFolder, FileInSubfolder, ContentOfAFile };
    struct Row {
        const char* what;
        bool otherFolderSetWhileInactive = false;
        bool active = true;
        bool subTree = true;
        TMonitorFilters filters = moFilename;
        Change change = FileInFolder;
        bool reported = false;
    } rows[] = {
        {.what = "a file in the folder watched before the activation",
         .otherFolderSetWhileInactive = true},
        {.what = "a file while inactive", .active = false},
        // Subfolders are made once the watch is open: Wine, unlike Windows, watches only the
        // subfolders that appear after a watch began.
        {.what = "a file in a subfolder, with SubTree",
         .change = FileInSubfolder,
         .reported = true},
        {.what = "a file in a subfolder, without SubTree",
         .subTree = false,
         .change = FileInSubfolder},
        {.what = "a content change, with file names only", .change = ContentOfAFile},
        {.what = "a content change, with last write and size",
         .filters = moLastWrite | moSize,
         .change = ContentOfAFile,
         .reported = true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        TempFolder folder("dmt"), other("dmo");
        const std::string existing = folder.path() + "existing.txt";
        WriteFileBytes(existing, "start");
        Watched w(folder.path(), 300);
        if (row.otherFolderSetWhileInactive)
            w.monitor->SetDirectory(other.path());
        const std::string watched = row.otherFolderSetWhileInactive ? other.path() : folder.path();
        w.monitor->SetActive(true);
        ASSERT_TRUE(w.ReportsNewFiles(watched));
        w.monitor->SetSubTree(row.subTree);
        w.monitor->SetFilters(row.filters);
        EXPECT_EQ(row.filters, w.monitor->Filters());
        // The watch is open again without its subfolders (the monitor restarts it only for a
        // setting that changed).
        if (!row.subTree) {
            ASSERT_TRUE(w.ReportsNewFiles(watched));
        }
        w.monitor->SetActive(row.active);
        std::string subfolder;
        if (row.change == FileInSubfolder) {
            subfolder = MakeFolder(folder.path() + "sub") + "\\";
            PumpFor(500);
        }
        int made = 0;
        auto change = [&] {
            const std::string name = "change" + std::to_string(++made) + ".txt";
            if (row.change == FileInFolder)
                WriteFileBytes(folder.path() + name, "x");
            else if (row.change == FileInSubfolder)
                WriteFileBytes(subfolder + name, "x");
            else
                AppendToFile(existing, "more");
        };
        w.changes = 0;
        if (row.reported) {
            // A change may come while the watch is armed anew after the last report: it is
            // made again until one is reported.
            bool seen = false;
            for (int round = 0; round < 10 && !seen; ++round) {
                change();
                seen = PumpUntil([&] { return w.changes > 0; }, 1000);
            }
            EXPECT_TRUE(seen);
        } else {
            change();
            PumpFor(2000);
            EXPECT_EQ(0, w.changes);
        }
        if (!row.active) {
            w.monitor->SetActive(true);
            EXPECT_TRUE(w.ReportsNewFiles(watched));
        }
    }
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
    PumpFor(1500);
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
    PumpFor(1000);
    const DWORD start = GetTickCount();
    w.monitor.reset();
    EXPECT_LT(GetTickCount() - start, 10000u);
    PumpFor(1000);
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
    PumpFor(1000);
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
