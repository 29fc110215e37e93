// The folder monitor's worker thread.
#include "watch/DiscMonitorThread.h"

#include "watch/ChangeWatch.h"

#include <algorithm>
#include <system_error>

namespace {

std::atomic<DWORD(WINAPI*)(DWORD, const HANDLE*, BOOL, DWORD)> waitCall{nullptr};
std::atomic<BOOL(WINAPI*)(HANDLE)> rearmCall{nullptr};
std::atomic<TDiscMonitorThread::TOpenCall> openCall{nullptr};

} // namespace

TDiscMonitorThread::TDiscMonitorThread(TReport changeSeen, TReport watchInvalid)
    : changeSeen_(std::move(changeSeen)), watchInvalid_(std::move(watchInvalid)),
      terminate_(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
      parametersChanged_(CreateEventA(nullptr, FALSE, FALSE, nullptr)),
      running_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
    if (!terminate_ || !parametersChanged_ || !running_)
        watch::RaiseLastError();
}

TDiscMonitorThread::~TDiscMonitorThread() {
    Terminate();
}

// The parameters are a string and two flags that the GUI thread may rewrite while the worker
// is copying them; a short lock around the copy keeps the worker from reading half a string.
// It is never held while waiting.
std::string TDiscMonitorThread::Folder() const {
    std::lock_guard<std::mutex> lock(parametersLock_);
    return folder_;
}
void TDiscMonitorThread::SetFolder(const std::string& folder) {
    std::lock_guard<std::mutex> lock(parametersLock_);
    folder_ = folder;
}
DWORD TDiscMonitorThread::Filter() const {
    std::lock_guard<std::mutex> lock(parametersLock_);
    return filter_;
}
void TDiscMonitorThread::SetFilter(DWORD filter) {
    std::lock_guard<std::mutex> lock(parametersLock_);
    filter_ = filter;
}
bool TDiscMonitorThread::SubTree() const {
    std::lock_guard<std::mutex> lock(parametersLock_);
    return subTree_;
}
void TDiscMonitorThread::SetSubTree(bool subTree) {
    std::lock_guard<std::mutex> lock(parametersLock_);
    subTree_ = subTree;
}

void TDiscMonitorThread::Resume() {
    if (!worker_.joinable()) {
        try {
            worker_ = std::thread([this] { Execute(); });
        } catch (const std::system_error&) {
            throw EAppError(watch::kWatchNotStarted);
        }
    }
    SetEvent(running_.get());
    SetEvent(parametersChanged_.get());
}

TDiscMonitorThread::TWatchCalls TDiscMonitorThread::SetWatchCalls(TWatchCalls calls) {
    return {waitCall.exchange(calls.wait), rearmCall.exchange(calls.rearm)};
}

TDiscMonitorThread::TOpenCall TDiscMonitorThread::SetOpenCall(TOpenCall call) {
    return openCall.exchange(call);
}

void TDiscMonitorThread::Terminate() {
    SetEvent(terminate_.get());
    if (worker_.joinable())
        worker_.join();
}

// Waits while suspended; false once terminated.
bool TDiscMonitorThread::WaitRunning() const {
    HANDLE waits[] = {terminate_.get(), running_.get()};
    return WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0 + 1;
}

// Pausing is done with the running event rather than by suspending the thread: a thread
// suspended at an arbitrary point may hold the heap's or the loader's lock and stall the GUI
// thread with it. The worker checks the event before each step, so nothing is reported while
// paused, as with a suspended thread; the GUI side drops a report that arrives after pausing.
//
// Every wait includes the terminate event, the settling delay and the wait for the GUI thread
// to handle a report among them, so ending the worker never waits for either; after a
// cancelled report the next wait sees the event and the worker ends.
void TDiscMonitorThread::Execute() {
    try {
        watch::ScopedChangeNotification watch;
        // Nothing is open before the first activation, whose parameters-changed signal opens
        // the watch; so a folder that cannot be watched is reported once, not twice.
        bool invalidReported = true;
        // The watch was opened anew on request, and a change is reported once it is open.
        bool reportOpened = false;
        auto reopen = [&] {
            watch.reset();
            std::string folder;
            DWORD filter;
            bool subTree;
            {
                std::lock_guard<std::mutex> lock(parametersLock_);
                folder = folder_;
                filter = filter_;
                subTree = subTree_;
            }
            const auto open = openCall.load();
            watch = watch::OpenChangeNotification(folder, subTree, filter,
                                                  open ? open : FindFirstChangeNotificationA);
            invalidReported = static_cast<bool>(watch);
            reportOpened = reportReopened_.exchange(false) && watch;
        };
        for (;;) {
            if (!WaitRunning())
                return;
            if (!watch) {
                if (!invalidReported) {
                    invalidReported = true;
                    watchInvalid_(terminate_.get());
                    continue;
                }
                HANDLE waits[] = {terminate_.get(), parametersChanged_.get()};
                if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0 + 1)
                    return;
                reopen();
                continue;
            }
            if (reportOpened) {
                reportOpened = false;
                changeSeen_(terminate_.get());
                continue;
            }
            // The first signalled of these wins, in this order.
            HANDLE waits[] = {terminate_.get(), parametersChanged_.get(), watch.get()};
            const auto wait = waitCall.load();
            DWORD signalled = (wait ? wait : WaitForMultipleObjects)(3, waits, FALSE, INFINITE);
            if (signalled == WAIT_OBJECT_0)
                return;
            if (signalled == WAIT_OBJECT_0 + 1) {
                reopen();
                continue;
            }
            // A watch whose handle went bad (its network folder dropped) is one that could not
            // be opened: it is reported, and the worker waits to be given the folder again.
            if (signalled != WAIT_OBJECT_0 + 2) {
                watch.reset();
                invalidReported = false;
                continue;
            }
            // Let a burst of activity settle so that it gives one report.
            DWORD delay = static_cast<DWORD>(std::max(0, delay_.load()));
            if (WaitForSingleObject(terminate_.get(), delay) != WAIT_TIMEOUT)
                return;
            if (IsRunning())
                changeSeen_(terminate_.get());
            // A watch that cannot be re-armed (its folder went away) is treated as one that
            // could not be opened.
            const auto rearm = rearmCall.load();
            if (!(rearm ? rearm : FindNextChangeNotification)(watch.get())) {
                watch.reset();
                invalidReported = false;
            }
        }
    } catch (...) {
        // Only copying the parameters can throw (out of memory); the worker then ends quietly,
        // as nothing may unwind out of a thread.
    }
}
