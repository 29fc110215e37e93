// Where top-level windows lie in the desktop's z-order, for the tests of windows that stay on
// top or step aside.
#pragma once

#include <windows.h>

namespace testing_support {

// The window is in the topmost band.
bool IsTopmost(HWND window);
// `upper` lies above `lower` in the z-order of the desktop's windows.
bool LiesAbove(HWND upper, HWND lower);

} // namespace testing_support
