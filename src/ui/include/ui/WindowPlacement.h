#pragma once
// Where the main window opens: inside the screen's available area (the
// screen less its panels), whatever the display scale. A fixed start
// position scaled at 150 % on a small screen puts the buttons off-screen.
#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace nkq::ui {

// The top-left corner of a frame of `frame` size in `available`: centred
// along each side where it fits; where it does not, at the area's start, so
// that the title bar and as much as fits are on screen.
QPoint PlacedInside(const QRect& available, const QSize& frame);

// Moves the top-level `window`, with `frame` its title bar and borders as
// far as they are known, into the available area of its screen.
void PlaceOnScreen(QWidget& window, const QMargins& frame);

}  // namespace nkq::ui
