// Where dialogs appear: next to their owner, inside the screen and clear of the taskbar.
#pragma once

#include <windows.h>

// Places and shows `dialog`. Without an owner it is centred on the screen. With one, mode 1
// puts it 20 pixels down and right of the owner's corner, mode 2 centres it on the owner, mode 3
// puts it 20 pixels up and left; it is then kept 2 pixels inside the screen and clear of the
// taskbar, and shown in its normal state.
void PlaceDialog(int mode, HWND owner, HWND dialog);

// Keeps the window inside the desktop and, when it overlaps a taskbar along one edge of the
// desktop, moves it next to the bar. Without a taskbar window nothing changes.
void KeepClearOfTaskbar(HWND window);
