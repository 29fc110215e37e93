// When the always-on-top cat steps aside for full-screen work on its monitor.
#include "app/FullScreenRules.h"

bool IsAnotherProgramsWindow(const ForegroundWindow& foreground) {
    return foreground.present && !foreground.ownProcess && !foreground.desktop;
}

bool CoversMonitor(const WorkArea& window, const WorkArea& monitor) {
    return window.left <= monitor.left && window.top <= monitor.top &&
           window.right >= monitor.right && window.bottom >= monitor.bottom;
}

bool IsShellDesktopClass(const std::string& className) {
    return className == "Progman" || className == "WorkerW";
}

bool StepsAside(const WorkArea& cat, const std::vector<MonitorArea>& monitors,
                const ForegroundWindow& foreground, UserNotificationState state) {
    if (state == UserNotificationState::PresentationMode)
        return true;
    const MonitorArea* catMonitor = MonitorOf(cat, monitors);
    if (!catMonitor || !IsAnotherProgramsWindow(foreground) ||
        (foreground.maximised && !foreground.frameless))
        return false;
    const bool reportedFullScreen =
        state == UserNotificationState::Busy || state == UserNotificationState::Direct3DFullScreen;
    return CoversMonitor(foreground.client, catMonitor->monitor) ||
           (reportedFullScreen && CoversMonitor(foreground.frame, catMonitor->monitor));
}

bool ShellNoticeMayChangeForeground(unsigned code) {
    constexpr unsigned kWindowDestroyed = 2; // HSHELL_WINDOWDESTROYED
    constexpr unsigned kWindowActivated = 4; // HSHELL_WINDOWACTIVATED
    constexpr unsigned kMonitorChanged = 16; // HSHELL_MONITORCHANGED
    constexpr unsigned kHighBit = 0x8000;    // HSHELL_HIGHBIT: the window is full-screen
    switch (code & ~kHighBit) {
    case kWindowDestroyed:
    case kWindowActivated:
    case kMonitorChanged:
        return true;
    default:
        return false;
    }
}
