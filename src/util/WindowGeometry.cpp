// Where message boxes and dialogs go on the screen.
#include "util/WindowGeometry.h"

namespace {

ScreenRect Moved(const ScreenRect& r, int left, int top) {
    return {left, top, left + r.Width(), top + r.Height()};
}

bool Overlap(const ScreenRect& a, const ScreenRect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

} // namespace

ScreenPoint CentredOver(const ScreenRect& owner, int width, int height) {
    return {owner.left + owner.Width() / 2 - width / 2,
            owner.top + owner.Height() / 2 - height / 2};
}

ScreenPoint CentredOnScreen(int width, int height, int screenWidth, int screenHeight) {
    return {(screenWidth - width) / 2, (screenHeight - height) / 2};
}

ScreenPoint ClampToScreen(ScreenPoint corner, int width, int height, int screenWidth,
                          int screenHeight) {
    if (corner.x < 0)
        corner.x = 2;
    if (corner.y < 0)
        corner.y = 2;
    if (corner.x + width > screenWidth)
        corner.x = screenWidth - width - 2;
    if (corner.y + height > screenHeight)
        corner.y = screenHeight - height - 2;
    return corner;
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

ScreenRect KeepRectClearOfTaskbar(ScreenRect window, const ScreenRect& desktop,
                                  const ScreenRect& taskbar) {
    if (window.left < 0)
        window = Moved(window, 0, window.top);
    if (window.top < 0)
        window = Moved(window, window.left, 0);
    if (window.right > desktop.right)
        window = Moved(window, desktop.right - window.Width(), window.top);
    if (window.bottom > desktop.bottom)
        window = Moved(window, window.left, desktop.bottom - window.Height());

    const bool fullWidth = taskbar.left <= desktop.left && taskbar.right >= desktop.right;
    const bool fullHeight = taskbar.top <= desktop.top && taskbar.bottom >= desktop.bottom;
    enum class Edge { None, Bottom, Top, Right, Left } edge = Edge::None;
    if (taskbar.bottom >= desktop.bottom && fullWidth)
        edge = Edge::Bottom;
    else if (taskbar.top <= desktop.top && fullWidth)
        edge = Edge::Top;
    else if (taskbar.right >= desktop.right && fullHeight)
        edge = Edge::Right;
    else if (taskbar.left <= desktop.left && fullHeight)
        edge = Edge::Left;
    if (edge == Edge::None || !Overlap(window, taskbar))
        return window;

    switch (edge) {
    case Edge::Bottom:
        return Moved(window, window.left, taskbar.top - window.Height());
    case Edge::Top:
        return Moved(window, window.left, taskbar.bottom);
    case Edge::Right:
        return Moved(window, taskbar.left - window.Width(), window.top);
    case Edge::Left:
        return Moved(window, taskbar.right, window.top);
    case Edge::None:
        break;
    }
    return window;
}
