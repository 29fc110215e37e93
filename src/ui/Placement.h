// Where dialogs appear: next to their owner, on the owner's monitor, inside its work area.
#pragma once

#include <windows.h>

#include "util/WindowGeometry.h"

// The window whose monitor the windows without an owner open on: the icon window names itself
// when it is made, so that every window of the program opens where the cat is. GUI thread only.
inline HWND PlacementHome = nullptr;

// Places and shows `dialog`. Without an owner it is centred on the monitor of PlacementHome
// (the primary one while there is none). With one, mode 1 puts it 20 pixels down and right of
// the owner's corner, mode 2 centres it on the owner, mode 3 puts it 20 pixels up and left; it is
// then kept 2 pixels inside the owner's monitor and inside that monitor's work area (clear of the
// taskbar), and shown in its normal state.
void PlaceDialog(int mode, HWND owner, HWND dialog);
// Moves `dialog` where PlaceDialog puts it, without showing it.
void PositionDialog(int mode, HWND owner, HWND dialog);

// Moves `window` to the middle of the monitor `reference` is on (PlacementHome's when null),
// inside its work area.
void CentreOnMonitor(HWND reference, HWND window);

// For a window placed by the platform: left where it is while it lies on the monitor of
// `reference` (PlacementHome's when null), kept inside that monitor's work area; brought to the
// middle of that monitor when the platform put it on another one.
void KeepOnMonitorOf(HWND reference, HWND window);

// Keeps the window inside the work area of the monitor it is on, so that it is clear of the
// taskbar and other bars docked there.
void KeepClearOfTaskbar(HWND window);

// A monitor's whole area and its work area, in desktop coordinates.
struct MonitorRects {
    ScreenRect monitor;
    ScreenRect work;
};
// The monitor `window` is on (the one it overlaps most, or the nearest); PlacementHome's for no
// window, and the primary one while there is no home either.
MonitorRects MonitorRectsOf(HWND window);
