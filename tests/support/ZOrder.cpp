// Where top-level windows lie in the desktop's z-order.
#include "support/ZOrder.h"

namespace testing_support {

bool IsTopmost(HWND window) {
    return (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

bool LiesAbove(HWND upper, HWND lower) {
    for (HWND window = GetWindow(lower, GW_HWNDPREV); window;
         window = GetWindow(window, GW_HWNDPREV))
        if (window == upper)
            return true;
    return false;
}

} // namespace testing_support
