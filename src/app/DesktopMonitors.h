// The monitors of the desktop as the placement rules see them.
#pragma once

#include "app/IconPlacement.h"

#include <windows.h>

#include <vector>

// Every monitor with its work area; where the platform lists none, the one screen with the
// work area it reports.
std::vector<MonitorArea> DesktopMonitors();

// A platform rectangle as the placement rules see it.
WorkArea AreaOf(const RECT& r);
