// Owner drawing is asked of the parent window; windows and dialogs hand it on to the object
// that draws: a menu's images or an owner-drawn control.
#pragma once

#include <windows.h>

namespace ui {

// Handles WM_MEASUREITEM and WM_DRAWITEM for the program's menus and owner-drawn controls.
// True when the message was answered (the window procedure then returns TRUE).
bool ReflectOwnerDraw(HWND parent, UINT message, LPARAM lParam);

} // namespace ui
