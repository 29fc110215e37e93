// Where the placement commands put the icon window.
#include "app/IconPlacement.h"

WindowOrigin PlaceIcon(IconPlacement placement, const WorkArea& a, int width, int height) {
    const int centre = a.left + (a.right - a.left) / 2 - width / 2;
    const int bottom = a.bottom - height;
    switch (placement) {
    case IconPlacement::TopLeft:
        return {a.left, a.top};
    case IconPlacement::TopCenter:
        return {centre, a.top};
    case IconPlacement::TopRight:
        return {a.right - width, a.top};
    case IconPlacement::TopRight2:
        return {a.right - 2 * width, a.top};
    case IconPlacement::BottomLeft:
        return {a.left, bottom};
    case IconPlacement::BottomCenter:
        return {centre, bottom};
    case IconPlacement::BottomRight:
        return {a.right - width, bottom};
    }
    return {a.left, a.top};
}
