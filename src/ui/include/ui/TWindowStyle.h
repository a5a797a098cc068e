#pragma once
// The program's look, on top of Qt's Fusion style:
// - a group box's frame has its top line through the middle of the caption,
//   which the fixed heights of the window's group boxes count on (a signal
//   meter of 25 pixels in a box of 41);
// - edit fields draw a flat frame one device pixel wide, whole at every
//   display scale;
// - fields, lists, buttons, radio buttons and check boxes show the highlight
//   colour (the desktop's active caption colour) while the mouse is over them,
//   and a field's frame shows it too while the field has the keyboard focus.
// Only frames and outlines are drawn here; the controls themselves are
// Fusion's.
#include <QProxyStyle>

namespace nkq::ui {

class TWindowStyle : public QProxyStyle {
    Q_OBJECT
public:
    TWindowStyle();

    void polish(QWidget* widget) override;
    using QProxyStyle::polish;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget = nullptr) const override;
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl sub,
                         const QWidget* widget = nullptr) const override;

    // The colour of a flat field frame: the highlight under the mouse or with
    // the focus in the field, else the dark frame colour.
    static QColor FieldFrameColour(const QStyleOption& option, const QWidget* widget = nullptr);

private:
    void DrawGroupFrame(const QStyleOption* option, QPainter* painter, const QWidget* widget) const;
};

}  // namespace nkq::ui
