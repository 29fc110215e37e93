// Where the placement commands put the icon window.
#include "app/IconPlacement.h"

#include <algorithm>

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

namespace {

long long Overlap(const WorkArea& a, const WorkArea& b) {
    long long w = static_cast<long long>(std::min(a.right, b.right)) - std::max(a.left, b.left);
    long long h = static_cast<long long>(std::min(a.bottom, b.bottom)) - std::max(a.top, b.top);
    return w > 0 && h > 0 ? w * h : 0;
}

// The squared distance between two rectangles that do not overlap (0 when they touch).
long long Distance(const WorkArea& a, const WorkArea& b) {
    long long dx = std::max<long long>(
        {0, static_cast<long long>(b.left) - a.right, static_cast<long long>(a.left) - b.right});
    long long dy = std::max<long long>(
        {0, static_cast<long long>(b.top) - a.bottom, static_cast<long long>(a.top) - b.bottom});
    return dx * dx + dy * dy;
}

bool Contains(const WorkArea& area, long long x, long long y) {
    return x >= area.left && x < area.right && y >= area.top && y < area.bottom;
}

} // namespace

const MonitorArea* MonitorOf(const WorkArea& window, const std::vector<MonitorArea>& monitors) {
    const MonitorArea* best = nullptr;
    long long bestOverlap = 0;
    for (const auto& m : monitors) {
        long long overlap = Overlap(window, m.monitor);
        if (overlap > bestOverlap) {
            best = &m;
            bestOverlap = overlap;
        }
    }
    if (best)
        return best;
    long long nearest = 0;
    for (const auto& m : monitors) {
        long long distance = Distance(window, m.monitor);
        if (!best || distance < nearest) {
            best = &m;
            nearest = distance;
        }
    }
    return best;
}

WindowOrigin PlaceIconOn(IconPlacement placement, const WorkArea& window,
                         const std::vector<MonitorArea>& monitors) {
    const MonitorArea* monitor = MonitorOf(window, monitors);
    if (!monitor)
        return {window.left, window.top};
    return PlaceIcon(placement, monitor->work, window.right - window.left,
                     window.bottom - window.top);
}

WindowOrigin RecoverPlace(WindowOrigin saved, int width, int height,
                          const std::vector<MonitorArea>& monitors) {
    if (monitors.empty())
        return saved;
    long long middleX = static_cast<long long>(saved.left) + width / 2;
    long long middleY = static_cast<long long>(saved.top) + height / 2;
    for (const auto& m : monitors)
        if (Contains(m.monitor, middleX, middleY))
            return saved;
    const MonitorArea* primary = &monitors.front();
    for (const auto& m : monitors)
        if (m.primary) {
            primary = &m;
            break;
        }
    return {primary->work.left, primary->work.top};
}
