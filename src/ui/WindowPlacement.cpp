#include "ui/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace nkq::ui {

namespace {

int Placed(int start, int room, int length) { return start + std::max(0, (room - length) / 2); }

}  // namespace

QPoint PlacedInside(const QRect& available, const QSize& frame) {
    return {Placed(available.left(), available.width(), frame.width()),
            Placed(available.top(), available.height(), frame.height())};
}

void PlaceOnScreen(QWidget& window, const QMargins& frame) {
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    // Placed by its client area: a move by the frame's corner counts on a
    // frame the window may not have learnt yet.
    const QPoint corner = PlacedInside(screen->availableGeometry(), window.size().grownBy(frame));
    window.setGeometry(QRect(corner + QPoint(frame.left(), frame.top()), window.size()));
}

}  // namespace nkq::ui
