// Where message boxes and dialogs go on the screen.
#include "util/WindowGeometry.h"

namespace {

// One axis: a window from `start` of `length` kept between `low` and `high`, `margin` inside
// them; its start wins where it cannot fit.
int KeepBetween(int start, int length, int low, int high, int margin) {
    if (start + length > high)
        start = high - length - margin;
    if (start < low)
        start = low + margin;
    return start;
}

} // namespace

ScreenPoint CentredOver(const ScreenRect& owner, int width, int height) {
    return {owner.left + owner.Width() / 2 - width / 2,
            owner.top + owner.Height() / 2 - height / 2};
}

ScreenPoint ProposedDialogPosition(int mode, const ScreenRect& owner, int width, int height) {
    switch (mode) {
    case 1:
        return {owner.left + 20, owner.top + 20};
    case 3:
        return {owner.left - 20, owner.top - 20};
    default:
        return CentredOver(owner, width, height);
    }
}

ScreenPoint KeepInside(ScreenPoint corner, int width, int height, const ScreenRect& area) {
    return {KeepBetween(corner.x, width, area.left, area.right, 0),
            KeepBetween(corner.y, height, area.top, area.bottom, 0)};
}

ScreenPoint KeepOnMonitor(ScreenPoint corner, int width, int height, const ScreenRect& monitor,
                          const ScreenRect& work) {
    constexpr int kMargin = 2;
    corner = {KeepBetween(corner.x, width, monitor.left, monitor.right, kMargin),
              KeepBetween(corner.y, height, monitor.top, monitor.bottom, kMargin)};
    return KeepInside(corner, width, height, work);
}
