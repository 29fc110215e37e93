// The folder monitor's worker: waits on a change notification and reports, after a settling
// delay, through callbacks that hand the report to the GUI thread.
#pragma once

#include "util/ScopedWin.h"

#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

class TDiscMonitorThread {
  public:
    // Runs on the worker and returns once the GUI thread has handled the report, or at once
    // when `cancel` (the terminate event) is set.
    using TReport = std::function<void(HANDLE cancel)>;

    // The worker thread is made at the first Resume: a monitor that is never activated costs
    // no thread (whose stack a resident program would keep for nothing). Raises EAppError
    // when the events cannot be made.
    TDiscMonitorThread(TReport changeSeen, TReport watchInvalid);
    // Terminate().
    ~TDiscMonitorThread();
    TDiscMonitorThread(const TDiscMonitorThread&) = delete;
    TDiscMonitorThread& operator=(const TDiscMonitorThread&) = delete;

    // Watch parameters, written by the GUI thread; the worker takes a copy when it opens the
    // watch after ParametersChanged.
    std::string Folder() const;
    void SetFolder(const std::string& folder);
    DWORD Filter() const;
    void SetFilter(DWORD filter);
    bool SubTree() const;
    void SetSubTree(bool subTree);
    // Read by the worker at each report; negative counts as 0.
    int Delay() const { return delay_; }
    void SetDelay(int milliseconds) { delay_ = milliseconds; }

    // The worker (re)opens the watch with the current parameters.
    void ParametersChanged() { SetEvent(parametersChanged_.get()); }
    // The same, and once the watch is open the worker reports a change.
    void ReopenAndReport() {
        reportReopened_ = true;
        ParametersChanged();
    }
    // Lets the worker run (making it the first time) and reopens the watch with the current
    // parameters. Raises EAppError when the thread cannot be made.
    void Resume();
    // The worker stops at its next step: it reports nothing until resumed. Its watch stays
    // open meanwhile.
    void Suspend() { ResetEvent(running_.get()); }
    // Ends the worker and waits for it. Never waits for the GUI thread: a report in progress
    // is cancelled.
    void Terminate();

    // The two calls by which the worker keeps its watch: the wait on it and the re-arming after
    // a report. A test replaces them to stand for a handle that goes bad, as a network share's
    // does when it drops. Returns the ones replaced; a null member restores the platform's.
    struct TWatchCalls {
        DWORD(WINAPI* wait)(DWORD count, const HANDLE* handles, BOOL all, DWORD ms);
        BOOL(WINAPI* rearm)(HANDLE watch);
    };
    static TWatchCalls SetWatchCalls(TWatchCalls calls);
    // The call that opens the watch (FindFirstChangeNotificationA); a test replaces it to stand
    // for a folder whose changes cannot be watched, as on some network servers. Returns the one
    // replaced; null restores the platform's.
    using TOpenCall = HANDLE(WINAPI*)(LPCSTR folder, BOOL subTree, DWORD filter);
    static TOpenCall SetOpenCall(TOpenCall call);

  private:
    void Execute();
    bool WaitRunning() const;
    bool IsRunning() const { return WaitForSingleObject(running_.get(), 0) == WAIT_OBJECT_0; }

    TReport changeSeen_;
    TReport watchInvalid_;
    win::ScopedHandle terminate_;         // manual reset
    win::ScopedHandle parametersChanged_; // auto reset
    win::ScopedHandle running_;           // manual reset; clear while suspended
    mutable std::mutex parametersLock_;
    std::string folder_;
    DWORD filter_ = FILE_NOTIFY_CHANGE_FILE_NAME;
    bool subTree_ = true;
    std::atomic<int> delay_{500};
    std::atomic<bool> reportReopened_{false};
    std::thread worker_;
};
