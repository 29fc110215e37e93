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
    const MonitorArea* catMonitor = MonitorOf(cat, monitors);
    const bool other = IsAnotherProgramsWindow(foreground);
    if (other && catMonitor && CoversMonitor(foreground.client, catMonitor->monitor))
        return true;
    switch (state) {
    case UserNotificationState::PresentationMode:
        return true;
    case UserNotificationState::Busy:
    case UserNotificationState::Direct3DFullScreen:
        // The report is about the program in front.
        if (foreground.present && foreground.ownProcess)
            return false;
        return !other || MonitorOf(foreground.client, monitors) == catMonitor;
    default:
        return false;
    }
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
