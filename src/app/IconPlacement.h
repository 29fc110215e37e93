// Where the seven placement commands put the icon window on the work area (no Win32 calls).
#pragma once

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
