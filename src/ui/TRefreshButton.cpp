#include "ui/TRefreshButton.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

namespace nkq::ui {

TRefreshButton::TRefreshButton(QWidget* parent) : QAbstractButton(parent) {
    setFixedSize(16, 16);
    // Reached with Tab and pressed with Space (and Enter, set by the window).
    setFocusPolicy(Qt::StrongFocus);
    setToolTip(QStringLiteral("Обновить список портов (F5)"));
    setAccessibleName(QStringLiteral("Обновить список портов"));
}

void TRefreshButton::enterEvent(QEnterEvent* event) {
    hovered_ = true;
    update();
    QAbstractButton::enterEvent(event);
}

void TRefreshButton::leaveEvent(QEvent* event) {
    hovered_ = false;
    update();
    QAbstractButton::leaveEvent(event);
}

// One arrow: an arc of 130 degrees with a head at its end, running clockwise.
void TRefreshButton::DrawArrow(QPainter& painter, const QRectF& circle, int start_degrees) const {
    constexpr int kSweep = -130;
    QPainterPath arc;
    arc.arcMoveTo(circle, start_degrees);
    arc.arcTo(circle, start_degrees, kSweep);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(arc);

    const double end = qDegreesToRadians(static_cast<double>(start_degrees + kSweep));
    const QPointF centre = circle.center();
    const double radius = circle.width() / 2;
    const QPointF tip(centre.x() + radius * std::cos(end), centre.y() - radius * std::sin(end));
    // Clockwise on screen: the tangent points along (sin, cos).
    const QPointF along(std::sin(end), std::cos(end));
    const QPointF across(std::cos(end), -std::sin(end));
    const double size = 2.6;
    const QPolygonF head({tip + along * size, tip - across * size, tip + across * size});
    painter.setBrush(painter.pen().color());
    painter.drawPolygon(head);
}

void TRefreshButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QRectF ball = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    if (hasFocus()) {
        // The keyboard focus: a ring in the highlight colour, as the fields'
        // frames show it, around a smaller ball.
        painter.setPen(QPen(palette().color(QPalette::Highlight), 1.5));
        painter.setBrush(palette().color(QPalette::Base));
        painter.drawEllipse(ball.adjusted(0.25, 0.25, -0.25, -0.25));
        ball.adjust(2.5, 2.5, -2.5, -2.5);
    }
    QRadialGradient shade(ball.center() - ball.size().width() * QPointF(0.13, 0.2), ball.width() * 0.75);
    const bool down = isDown();
    shade.setColorAt(
        0, down ? QColor(70, 120, 200) : (hovered_ ? QColor(150, 200, 255) : QColor(120, 175, 245)));
    shade.setColorAt(1, down ? QColor(10, 40, 120) : QColor(20, 70, 170));
    painter.setPen(QPen(QColor(10, 40, 110), 1));
    painter.setBrush(isEnabled() ? QBrush(shade) : QBrush(QColor(160, 160, 160)));
    painter.drawEllipse(ball);

    painter.setPen(QPen(Qt::white, 1.4, Qt::SolidLine, Qt::RoundCap));
    const qreal inset = ball.width() / 4;
    const QRectF circle = ball.adjusted(inset, inset, -inset, -inset);
    DrawArrow(painter, circle, 160);
    DrawArrow(painter, circle, -20);
}

}  // namespace nkq::ui
