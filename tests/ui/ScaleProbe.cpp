// Run by display_scale_test.sh on a real X server at one display scale: the
// main window as the desktop shows it, a screenshot of the screen, a check of
// every field's frame in it and of the window's place on the screen.
// Usage: ui_scale_probe SCREENSHOT.png; exit status 1 names each fault.
#include <QCursor>
#include <QScreen>
#include <QStyleOption>
#include <QWindow>
#include <cmath>
#include <cstdio>

#include "UiTestSupport.h"
#include "ui/TIpAddressEdit.h"
#include "ui/TWindowStyle.h"

using namespace nkq::ui;

namespace {

struct Span {
    int start, end;  // device pixels, end exclusive
};

Span Device(int logical_start, int length, qreal ratio) {
    const int start = qRound(logical_start * ratio);
    return {start, std::min(start + qRound(length * ratio),
                            static_cast<int>(qRound((logical_start + length) * ratio)))};
}

// Whether one row (or column) of `image` near `at`, within one pixel either
// way, is `colour` from `from` to `to`.
bool WholeLine(const QImage& image, bool row, int at, int from, int to, QRgb colour) {
    for (int near = at - 1; near <= at + 1; ++near) {
        bool whole = true;
        for (int i = from; i < to && whole; ++i) {
            const QPoint p = row ? QPoint(i, near) : QPoint(near, i);
            whole = image.valid(p) && (image.pixel(p) & 0xFFFFFF) == (colour & 0xFFFFFF);
        }
        if (whole) return true;
    }
    return false;
}

QStringList BrokenFrames(const QWidget& window, const QImage& shot, qreal ratio) {
    QStringList broken;
    for (QWidget* field : window.findChildren<QWidget*>()) {
        const auto* edit = qobject_cast<QLineEdit*>(field);
        const bool framed = (edit && edit->hasFrame()) || qobject_cast<TIpAddressEdit*>(field);
        if (!framed || !field->isVisible()) continue;
        QStyleOption option;
        option.initFrom(field);
        const QRgb colour = TWindowStyle::FieldFrameColour(option, field).rgb();
        const QPoint at = field->mapToGlobal(QPoint(0, 0));
        if (!field->screen()->geometry().contains(QRect(at, field->size())))
            continue;  // off-screen: nothing to see
        const Span x = Device(at.x(), field->width(), ratio);
        const Span y = Device(at.y(), field->height(), ratio);
        // The corners may be shaded; each side is checked inside them.
        const struct {
            const char* side;
            bool row;
            int at, from, to;
        } sides[] = {{"top", true, y.start, x.start + 2, x.end - 2},
                     {"bottom", true, y.end - 1, x.start + 2, x.end - 2},
                     {"left", false, x.start, y.start + 2, y.end - 2},
                     {"right", false, x.end - 1, y.start + 2, y.end - 2}};
        for (const auto& side : sides)
            if (!WholeLine(shot, side.row, side.at, side.from, side.to, colour))
                broken << QStringLiteral("%1: %2 frame line broken").arg(field->objectName(), side.side);
    }
    return broken;
}

// Centred where it fits; where it does not, from the area's start.
bool Placed(int start, int length, int area_start, int area_length) {
    const int before = start - area_start;
    const int after = area_start + area_length - (start + length);
    return length <= area_length ? before >= 0 && after >= 0 && std::abs(before - after) <= 1 : before == 0;
}

}  // namespace

int main(int argc, char** argv) {
    TApplication app(argc, argv);
    if (argc != 2) return 2;
    QCursor::setPos(0, 0);  // no field lit by the mouse
    nkq::ui::testing::TestWindow w;
    // The desktop frames the window a moment after it shows; the window then
    // moves into place.
    QWindow* window = w.form->windowHandle();
    const bool framed = QTest::qWaitFor([&] { return !window->frameMargins().isNull(); }, 3000);
    if (!framed) std::fprintf(stderr, "no window manager framed the window\n");
    QTest::qWait(500);
    // One field with the keyboard focus: its frame is lit.
    w.Find<TIpAddressEdit>("IPAddrEdit")->Part(1)->setFocus(Qt::TabFocusReason);
    QTest::qWait(300);

    QScreen* screen = w.form->screen();
    const QPixmap shot = screen->grabWindow(0);
    shot.save(QString::fromLocal8Bit(argv[1]));
    const qreal ratio = w.form->devicePixelRatioF();
    QStringList faults = BrokenFrames(*w.form, shot.toImage(), ratio);
    const QRect frame = window->frameGeometry();
    const QRect area = screen->availableGeometry();
    if (!Placed(frame.x(), frame.width(), area.x(), area.width()) ||
        !Placed(frame.y(), frame.height(), area.y(), area.height()))
        faults << QStringLiteral("window misplaced");
    for (const QString& fault : faults) std::fprintf(stderr, "%s\n", qPrintable(fault));
    std::fprintf(stderr, "scale %.2f: window frame %d,%d %dx%d in %dx%d\n", ratio, frame.x(), frame.y(),
                 frame.width(), frame.height(), area.width(), area.height());
    return faults.isEmpty() ? 0 : 1;
}
