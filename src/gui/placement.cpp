#include "gui/placement.h"

#include <algorithm>
#include <array>

namespace {

// One coordinate of a window of this length held inside [low, high]: the start wins where
// the window is longer than the room.
int Inside(int wanted, int length, int low, int high) {
    return std::max(low, std::min(wanted, high - length + 1));
}

qint64 Overlap(const QRect& a, const QRect& b) {
    const QRect common = a.intersected(b);
    return qint64(common.width()) * common.height();
}

} // namespace

QRect PlaceBeside(const QRect& owner, const QSize& preferred, int minimumWidth,
                  const QRect& screen) {
    const auto held = [&](int x, int y, int width) {
        return QRect(Inside(x, width, screen.left(), screen.right()),
                     Inside(y, preferred.height(), screen.top(), screen.bottom()), width,
                     preferred.height());
    };
    const int right = std::min(preferred.width(), screen.right() - owner.right());
    if (right >= minimumWidth)
        return held(owner.right() + 1, owner.top(), right);
    const int left = std::min(preferred.width(), owner.left() - screen.left());
    if (left >= minimumWidth)
        return held(owner.left() - left, owner.top(), left);
    const std::array<QRect, 4> places{
        held(owner.right() + 1, owner.top(), preferred.width()),
        held(owner.left() - preferred.width(), owner.top(), preferred.width()),
        held(owner.left(), owner.bottom() + 1, preferred.width()),
        held(owner.left(), owner.top() - preferred.height(), preferred.width())};
    return *std::min_element(places.begin(), places.end(), [&](const QRect& a, const QRect& b) {
        return Overlap(a, owner) < Overlap(b, owner);
    });
}
