// The one-shot change watcher used by the folder tree.
#include "watch/FileChangeThread.h"

#include "watch/ChangeWatch.h"

#include <atomic>
#include <system_error>
#include <thread>

// What the worker and the owner share; the worker holds it until it ends.
struct TFileChangeThread::TShared {
    std::string folder;
    bool subTree = false;
    DWORD filter = 0;
    win::ScopedHandle terminate{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    HWND window = nullptr; // the owner's hand-off window; may be gone when the worker ends
    LPARAM serial = 0;     // tells this watcher's end from that of an earlier one
    std::atomic<bool> finished{false};
    std::atomic<bool> failed{false};
    std::atomic<DWORD> exitCode{0};
};

namespace {

enum : WPARAM { kEnded = 1 };

LPARAM NextSerial() {
    static LPARAM serial = 0;
    return ++serial; // GUI thread only
}

} // namespace

DWORD TFileChangeThread::PlatformFilter(unsigned filterSet) {
    DWORD filter = filterSet & 0x1F;
    if (filterSet & 0x20)
        filter |= FILE_NOTIFY_CHANGE_SECURITY;
    return filter;
}

TFileChangeThread::TFileChangeThread(const std::string& folder, bool subTree, unsigned filterSet,
                                     TNotifyEvent onTerminate)
    : shared_(std::make_shared<TShared>()), onTerminate_(std::move(onTerminate)),
      handOff_([this](WPARAM code, LPARAM serial) {
          if (code == kEnded)
              Ended(serial);
      }) {
    if (!shared_->terminate)
        watch::RaiseLastError();
    shared_->folder = folder;
    shared_->subTree = subTree;
    shared_->filter = PlatformFilter(filterSet);
    shared_->window = handOff_.Window();
    shared_->serial = NextSerial();
    try {
        std::thread(&TFileChangeThread::Execute, shared_).detach();
    } catch (const std::system_error&) {
        throw EAppError(watch::kWatchNotStarted);
    }
}

TFileChangeThread::~TFileChangeThread() {
    Terminate();
}

void TFileChangeThread::Terminate() {
    cancelled_ = true;
    SetEvent(shared_->terminate.get());
}

bool TFileChangeThread::Finished() const {
    return shared_->finished;
}

bool TFileChangeThread::Failed() const {
    return cancelled_ || shared_->failed;
}

DWORD TFileChangeThread::ExitCode() const {
    return shared_->exitCode;
}

// The wait needs no time slices to notice a cancellation: the terminate event is part of it.
void TFileChangeThread::Execute(std::shared_ptr<TShared> shared) {
    bool changed = false;
    {
        watch::ScopedChangeNotification watch =
            watch::OpenChangeNotification(shared->folder, shared->subTree, shared->filter);
        if (!watch) {
            shared->exitCode = GetLastError();
            shared->failed = true;
        } else {
            HANDLE waits[] = {shared->terminate.get(), watch.get()};
            changed = WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0 + 1;
            if (!changed)
                shared->failed = true;
        }
    } // the watch handle is closed before anyone hears of the end
    shared->finished = true;
    if (changed)
        watch::TGuiHandOff::Post(shared->window, kEnded, shared->serial);
}

// On the GUI thread. A cancellation after the worker posted its end still wins.
void TFileChangeThread::Ended(LPARAM serial) {
    if (serial != shared_->serial || cancelled_ || shared_->failed)
        return;
    TNotifyEvent handler = onTerminate_;
    if (handler)
        handler(*this);
}
