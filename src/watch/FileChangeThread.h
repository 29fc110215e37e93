// A one-shot watcher: waits for one change in one folder and then tells the GUI thread.
#pragma once

#include "watch/GuiHandOff.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

// Created on the GUI thread, where its notification runs. It starts watching at once. The
// worker thread frees its own state when it ends; the object is only the owner's end of it,
// and destroying it (or Terminate) cancels the watch without waiting for the worker, which
// may still be stuck opening a slow network folder. No notification follows a cancellation.
class TFileChangeThread {
  public:
    using TNotifyEvent = std::function<void(TFileChangeThread& Sender)>;

    // `filterSet`: bits 0-4 are the platform's FILE_NOTIFY_CHANGE_FILE_NAME to
    // FILE_NOTIFY_CHANGE_LAST_WRITE, bit 5 FILE_NOTIFY_CHANGE_SECURITY. `onTerminate` runs
    // on the GUI thread once the folder has changed, unless the watch failed or was
    // cancelled. Raises EAppError when the thread cannot be started.
    TFileChangeThread(const std::string& folder, bool subTree, unsigned filterSet,
                      TNotifyEvent onTerminate);
    ~TFileChangeThread();
    TFileChangeThread(const TFileChangeThread&) = delete;
    TFileChangeThread& operator=(const TFileChangeThread&) = delete;

    // Cancels the watch; no notification follows.
    void Terminate();

    // The worker has ended (it may still be opening the watch before that).
    bool Finished() const;
    // The watch could not be opened, or was cancelled.
    bool Failed() const;
    // The platform's error when the watch could not be opened, else 0.
    DWORD ExitCode() const;

    // The platform's change-notification filter for a six-bit filter set.
    static DWORD PlatformFilter(unsigned filterSet);

  private:
    struct TShared;
    static void Execute(std::shared_ptr<TShared> shared);
    void Ended(LPARAM serial);

    std::shared_ptr<TShared> shared_;
    TNotifyEvent onTerminate_;
    bool cancelled_ = false;
    watch::TGuiHandOff handOff_;
};
