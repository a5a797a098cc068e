#pragma once
// A one-line frame drawn on whole device pixels. At 125 % or 150 % a line
// one logical pixel wide falls between device pixels, and the widget's clip,
// which Qt rounds to whole pixels, can cut it away; here every side is
// snapped inside that clip and is as thick as the scale allows (one device
// pixel below 200 %, two at 200 %).
#include <QColor>
#include <QRect>

class QPainter;

namespace nkq::ui {

void DrawPixelFrame(QPainter& painter, const QRect& rect, const QColor& colour);

// The frame's thickness in device pixels at a device pixel ratio.
int PixelFrameWidth(qreal device_pixel_ratio);

}  // namespace nkq::ui
