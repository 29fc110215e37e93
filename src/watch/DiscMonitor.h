// Watches one folder and tells the GUI thread, after a settling delay, that something in it
// changed; it never says what.
#pragma once

#include "watch/DiscMonitorThread.h"
#include "watch/GuiHandOff.h"

#include <functional>
#include <string>

// The kinds of change that count; TMonitorFilters is the bitwise OR of some of them, each
// being the platform's change-notification flag.
enum TMonitorFilter : unsigned {
    moFilename = 0x001,   // FILE_NOTIFY_CHANGE_FILE_NAME
    moDirName = 0x002,    // FILE_NOTIFY_CHANGE_DIR_NAME
    moAttributes = 0x004, // FILE_NOTIFY_CHANGE_ATTRIBUTES
    moSize = 0x008,       // FILE_NOTIFY_CHANGE_SIZE
    moLastWrite = 0x010,  // FILE_NOTIFY_CHANGE_LAST_WRITE
    moSecurity = 0x100,   // FILE_NOTIFY_CHANGE_SECURITY
};
using TMonitorFilters = unsigned;
constexpr TMonitorFilters kAllMonitorFilters =
    moFilename | moDirName | moAttributes | moSize | moLastWrite | moSecurity;

// Lives on the GUI thread: it is created, used and destroyed there, and OnChange and
// OnInvalid run there, one at a time, while the worker waits for them.
class TDiscMonitor {
  public:
    using TNotifyEvent = std::function<void(TDiscMonitor& Sender)>;

    // Inactive, no folder, [moFilename], subtree, 500 ms. Raises EAppError when the worker or
    // its window cannot be made.
    TDiscMonitor();
    // Calls no handler any more, even for a report already on its way, and ends the worker
    // without waiting for the GUI thread. May be called from inside OnChange or OnInvalid.
    ~TDiscMonitor();
    TDiscMonitor(const TDiscMonitor&) = delete;
    TDiscMonitor& operator=(const TDiscMonitor&) = delete;

    // The folder to watch, compared as an exact string.
    std::string Directory() const { return thread_.Folder(); }
    void SetDirectory(const std::string& directory);

    // An empty set (after dropping bits that are no filter) is refused: ShowMessage shows
    // "Some filter condition must be set." and the old filters stay.
    TMonitorFilters Filters() const { return thread_.Filter(); }
    void SetFilters(TMonitorFilters filters);

    bool SubTree() const { return thread_.SubTree(); }
    void SetSubTree(bool subTree);

    // While inactive nothing is reported and parameter changes are only stored; activating
    // (re)opens the watch with the current parameters.
    bool Active() const { return active_; }
    void SetActive(bool active);

    // Opens the watch again with the current parameters, as a change of them does, and reports
    // a change once it is open: a folder that went away and came back, or whose watch could not
    // be kept, is watched anew, and may have changed while it was not. Nothing happens while
    // inactive.
    void Reopen() {
        if (active_)
            thread_.ReopenAndReport();
    }

    // Milliseconds of quiet awaited after a change before it is reported.
    int ChangeDelay() const { return thread_.Delay(); }
    void SetChangeDelay(int milliseconds) { thread_.SetDelay(milliseconds); }

    // Kept for form designers; no effect at run time.
    bool ShowDesignMsg() const { return showDesignMsg_; }
    void SetShowDesignMsg(bool show) { showDesignMsg_ = show; }

    // Free for the owner (the automatic import marks a running import with it).
    int Tag() const { return tag_; }
    void SetTag(int tag) { tag_ = tag; }

    TNotifyEvent OnChange;  // something changed
    TNotifyEvent OnInvalid; // the folder cannot be watched; raised once per attempt to open it

    // Shows a notice in a plain message box; replaceable (the tests record the text).
    std::function<void(const std::string& text)> ShowMessage;

  private:
    void Deliver(WPARAM report);

    // Declared before the thread, so that the worker has ended before the window goes.
    watch::TGuiHandOff handOff_;
    TDiscMonitorThread thread_;
    bool active_ = false;
    bool showDesignMsg_ = false;
    int tag_ = 0;
};
