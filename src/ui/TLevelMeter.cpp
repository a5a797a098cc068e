#include "ui/TLevelMeter.h"

#include <QPainter>
#include <algorithm>

namespace nkq::ui {

namespace {
constexpr int kLowEnd = 5;  // the wedge's height at its left end
constexpr int kGap = 2;
}  // namespace

TLevelMeter::TLevelMeter(QWidget* parent) : QWidget(parent) { setToolTip(QStringLiteral("Уровень сигнала")); }

void TLevelMeter::SetLevel(int level) {
    const int clamped = std::clamp(level, 0, kSegments);
    if (clamped == level_) return;
    level_ = clamped;
    update();
}

QColor TLevelMeter::LitColor() { return QColor(0xA6, 0xCA, 0xF0); }

int TLevelMeter::WedgeHeightAt(int x) const {
    const int span = std::max(1, width() - 1);
    return kLowEnd + (height() - kLowEnd) * x / span;
}

QPolygon TLevelMeter::SegmentShape(int segment) const {
    const int step = (width() + kGap) / kSegments;
    const int left = segment * step;
    const int right = segment == kSegments - 1 ? width() - 1 : left + step - kGap - 1;
    const int bottom = height() - 1;
    return QPolygon({QPoint(left, bottom), QPoint(left, bottom - WedgeHeightAt(left) + 1),
                     QPoint(right, bottom - WedgeHeightAt(right) + 1), QPoint(right, bottom)});
}

void TLevelMeter::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(Qt::black);
    for (int segment = 0; segment < kSegments; ++segment) {
        painter.setBrush(segment < level_ ? LitColor() : palette().color(QPalette::ToolTipBase));
        painter.drawPolygon(SegmentShape(segment));
    }
}

}  // namespace nkq::ui
