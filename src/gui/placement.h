#pragma once
// Where a window opens beside another without hiding it.

#include <QRect>
#include <QSize>

// The frame for a window of the preferred size beside the frame owner, within screen: to its
// right where the screen has room for at least minimumWidth, else to its left, narrowed to
// the room; else at the preferred size, held inside the screen there or below or above,
// wherever it covers least of owner.
QRect PlaceBeside(const QRect& owner, const QSize& preferred, int minimumWidth,
                  const QRect& screen);
