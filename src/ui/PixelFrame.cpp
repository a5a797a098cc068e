#include "ui/PixelFrame.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace nkq::ui {

namespace {

// The whole device pixels a logical span covers once rounded, the way Qt
// rounds a widget's rectangle for its clip: the start and the length each
// rounded, or the end rounded, whichever stops first.
struct PixelSpan {
    int start;
    int end;  // exclusive
};

PixelSpan Snapped(qreal start, qreal length) {
    const int first = qRound(start);
    return {first, std::min(first + qRound(length), static_cast<int>(qRound(start + length)))};
}

}  // namespace

int PixelFrameWidth(qreal device_pixel_ratio) {
    return std::max(1, static_cast<int>(std::floor(device_pixel_ratio + 0.01)));
}

void DrawPixelFrame(QPainter& painter, const QRect& rect, const QColor& colour) {
    const QTransform to_device = painter.deviceTransform();
    bool invertible = false;
    const QTransform to_logical = to_device.inverted(&invertible);
    if (!invertible || rect.isEmpty()) return;
    const QRectF device = to_device.mapRect(QRectF(rect));
    const PixelSpan across = Snapped(device.left(), device.width());
    const PixelSpan down = Snapped(device.top(), device.height());
    const int width = PixelFrameWidth(std::abs(to_device.m11()));
    const int w = across.end - across.start;
    const int h = down.end - down.start;
    const QRectF sides[] = {
        {qreal(across.start), qreal(down.start), qreal(w), qreal(width)},
        {qreal(across.start), qreal(down.end - width), qreal(w), qreal(width)},
        {qreal(across.start), qreal(down.start), qreal(width), qreal(h)},
        {qreal(across.end - width), qreal(down.start), qreal(width), qreal(h)},
    };
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (const QRectF& side : sides) painter.fillRect(to_logical.mapRect(side), colour);
    painter.restore();
}

}  // namespace nkq::ui
