// When the always-on-top cat steps aside for full-screen work on its monitor, and which notices
// of the platform make it look again (no Win32 calls).
#pragma once

#include "app/IconPlacement.h"

#include <string>
#include <vector>

// The window in the foreground, as the rule needs to know it.
struct ForegroundWindow {
    // A visible, not minimised window is in the foreground.
    bool present = false;
    // It belongs to this program.
    bool ownProcess = false;
    // It is the desktop itself (the platform's or the shell's), which covers a monitor too.
    bool desktop = false;
    // Its client area on the screen: a window with a caption does not cover its monitor with
    // it, a full-screen one does.
    WorkArea client{};
    // It is maximised: no full-screen work while it keeps a frame, even where its client area
    // fills the monitor (a browser or an editor that draws its own title bar, with the taskbar
    // elsewhere or hiding itself).
    bool maximised = false;
    // Its whole rectangle, frame and all, as the platform judges a full-screen program by it.
    WorkArea frame{};
    // It has neither a caption nor a sizing frame. A video player often goes full screen from a
    // maximised window by taking its frame away, and the window stays maximised meanwhile.
    bool frameless = false;
};

// What the shell answers when asked whether the user may be disturbed (the values of
// QUERY_USER_NOTIFICATION_STATE); Unknown where the system cannot say.
enum class UserNotificationState {
    Unknown = 0,
    NotPresent = 1,
    Busy = 2,
    Direct3DFullScreen = 3,
    PresentationMode = 4,
    AcceptsNotifications = 5,
    QuietTime = 6,
    App = 7,
};

// The window in front is another program's, not the desktop: the one the cat may step behind.
bool IsAnotherProgramsWindow(const ForegroundWindow& foreground);

// The window's area covers the whole monitor.
bool CoversMonitor(const WorkArea& window, const WorkArea& monitor);

// The shell's desktop window classes: the desktop itself and the wallpaper layer that stands in
// for it.
bool IsShellDesktopClass(const std::string& className);

// The cat, at `cat` on the desktop of `monitors`, steps aside (it stops being topmost) while the
// foreground window of another program, not the desktop and not maximised with a frame, covers
// the monitor the cat is on with its client area, or while the user gives a presentation. While
// the platform reports a full-screen program or game, such a window covers it with its whole
// rectangle too; the report alone, with the desktop, this program or a smaller window in front,
// or with a full-screen window on another monitor, changes nothing (the platform reports "busy"
// on an empty desktop while some graphics overlays run).
bool StepsAside(const WorkArea& cat, const std::vector<MonitorArea>& monitors,
                const ForegroundWindow& foreground, UserNotificationState state);

// The shell hook's notices (HSHELL_...) after which the cat looks again: a window activated
// (also a full-screen one), destroyed or moved to another monitor.
bool ShellNoticeMayChangeForeground(unsigned code);
