// The monitors of the desktop, asked of the platform.
#include "app/DesktopMonitors.h"

#include <windows.h>

WorkArea AreaOf(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

namespace {

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoA(monitor, &info))
        reinterpret_cast<std::vector<MonitorArea>*>(list)->push_back(
            {AreaOf(info.rcMonitor), AreaOf(info.rcWork),
             (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
    return TRUE;
}

} // namespace

std::vector<MonitorArea> DesktopMonitors() {
    std::vector<MonitorArea> monitors;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    if (monitors.empty()) {
        RECT work{};
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        monitors.push_back({AreaOf(screen), AreaOf(work), true});
    }
    return monitors;
}
