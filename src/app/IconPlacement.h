// Where the seven placement commands put the icon window on the work area of its monitor, and
// where a saved place that no monitor shows any more brings it back (no Win32 calls).
#pragma once

#include <vector>

enum class IconPlacement {
    TopLeft,
    TopCenter,
    TopRight,
    TopRight2,
    BottomLeft,
    BottomCenter,
    BottomRight
};

struct WorkArea {
    int left, top, right, bottom; // right and bottom exclusive
};

struct WindowOrigin {
    int left, top;
};

// The window touches the edges of the work area; "near the top right" leaves one window
// width free at the right edge.
WindowOrigin PlaceIcon(IconPlacement placement, const WorkArea& area, int width, int height);

// One monitor of the desktop: its whole area and its work area (less the taskbar), in
// desktop coordinates (a monitor left of or above the primary one has negative ones).
struct MonitorArea {
    WorkArea monitor;
    WorkArea work;
    bool primary = false;
};

// The monitor a window lies on: the one it overlaps most (the first of equals); when it
// overlaps none, the nearest one. Null only when there are no monitors.
const MonitorArea* MonitorOf(const WorkArea& window, const std::vector<MonitorArea>& monitors);

// The placement on the work area of the monitor the window lies on. With no monitors known the
// window stays where it is.
WindowOrigin PlaceIconOn(IconPlacement placement, const WorkArea& window,
                         const std::vector<MonitorArea>& monitors);

// Where a window saved at `saved` shows at the start: there, while its middle lies on a
// monitor (so at least a quarter of it can be seen and grabbed); otherwise, as when the
// monitor it was on has been unplugged, at the top left of the primary monitor's work area
// (the first monitor's when none is marked primary). With no monitors known: `saved`.
WindowOrigin RecoverPlace(WindowOrigin saved, int width, int height,
                          const std::vector<MonitorArea>& monitors);
