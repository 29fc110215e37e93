// Pieces both folder dialogs are made of: the icon font's face for every control, and hints
// (tool tips) on controls.
#pragma once

#include <windows.h>

#include <string>

#include "util/ScopedWin.h"

namespace folders {

// A font of 12 pixels at 96 dpi (grown in proportion to `dpi`) with the face of the system's
// icon font, given to every child of `dialog`.
win::ScopedGdiObject ApplyIconFaceFont(HWND dialog, bool bold = false, int dpi = 96);

// A tool-tip window of `dialog` that shows hints of its controls.
HWND CreateHintWindow(HWND dialog);
// Gives a control a hint, and changes the hint of a control given one.
void AddHint(HWND hints, HWND control, const std::string& text);
void SetHint(HWND hints, HWND control, const std::string& text);

} // namespace folders
