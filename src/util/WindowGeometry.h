// Where message boxes and dialogs go on the screen, as rectangle arithmetic without windows:
// centring, keeping 2 pixels inside the screen, and stepping aside from the taskbar.
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

// The top left corner that centres a width × height window on the owner, each half truncated:
// owner.left + owner.width / 2 - width / 2.
ScreenPoint CentredOver(const ScreenRect& owner, int width, int height);

// The top left corner that centres the window on a screen of the given size.
ScreenPoint CentredOnScreen(int width, int height, int screenWidth, int screenHeight);

// A negative coordinate becomes 2; a window that would reach past the screen's right or bottom
// edge is put 2 pixels inside it.
ScreenPoint ClampToScreen(ScreenPoint corner, int width, int height, int screenWidth,
                          int screenHeight);

// The position a dialog is proposed relative to its owner: mode 1 down and right of the owner's
// corner by 20, mode 2 centred on it, mode 3 up and left by 20 (other modes centre).
ScreenPoint ProposedDialogPosition(int mode, const ScreenRect& owner, int width, int height);

// The window kept inside the desktop and moved off a taskbar that lies along one whole edge of
// it (tested bottom, top, right, left) when the two overlap. The size never changes.
ScreenRect KeepRectClearOfTaskbar(ScreenRect window, const ScreenRect& desktop,
                                  const ScreenRect& taskbar);
