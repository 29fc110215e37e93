// Where message boxes and dialogs go on the screen, as rectangle arithmetic without windows:
// next to their owner or in the middle of a monitor, 2 pixels inside the monitor and inside its
// work area (off the taskbar).
#pragma once

struct ScreenPoint {
    int x = 0;
    int y = 0;
    bool operator==(const ScreenPoint&) const = default;
};

struct ScreenRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const ScreenRect&) const = default;
};

// The top left corner that centres a width × height window on the owner (or on a monitor),
// each half truncated: owner.left + owner.width / 2 - width / 2.
ScreenPoint CentredOver(const ScreenRect& owner, int width, int height);

// The position a dialog is proposed relative to its owner: mode 1 down and right of the owner's
// corner by 20, mode 2 centred on it, mode 3 up and left by 20 (other modes centre).
ScreenPoint ProposedDialogPosition(int mode, const ScreenRect& owner, int width, int height);

// A width × height window at `corner` moved onto the edges of `area` where it reaches past them;
// its top left corner stays in the area where the window is larger than it.
ScreenPoint KeepInside(ScreenPoint corner, int width, int height, const ScreenRect& area);

// Where a width × height window proposed at `corner` goes on a monitor, both rectangles in
// desktop coordinates (a monitor left of or above the primary one has negative ones):
// - where it would reach past an edge of the monitor, 2 pixels inside that edge;
// - then, where it still reaches past the work area (the monitor less the taskbar and other bars
//   docked to it), onto the work area's edge, next to the bar.
// A window larger than the work area keeps its top left corner in it, so that its caption can
// be grabbed.
ScreenPoint KeepOnMonitor(ScreenPoint corner, int width, int height, const ScreenRect& monitor,
                          const ScreenRect& work);
