#include "ui/TWindowStyle.h"

#include <qdrawutil.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLineEdit>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>

#include "ui/PixelFrame.h"

namespace nkq::ui {

namespace {

constexpr int kCaptionIndent = 8;  // the caption's distance from the frame's left end
constexpr int kCaptionGap = 2;     // free space either side of the caption on the top line

bool Hovered(const QStyleOption& option) {
    return option.state.testFlag(QStyle::State_MouseOver) && option.state.testFlag(QStyle::State_Enabled);
}

// Fusion draws its highlighted outline for the keyboard focus; under the
// mouse it is the same outline.
template <typename Option>
Option Highlighted(const Option& option) {
    Option copy(option);
    if (Hovered(option)) copy.state |= QStyle::State_HasFocus | QStyle::State_KeyboardFocusChange;
    return copy;
}

}  // namespace

TWindowStyle::TWindowStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

void TWindowStyle::polish(QWidget* widget) {
    QProxyStyle::polish(widget);
    // Hover repaints only the controls that change under the mouse.
    const auto* frame = qobject_cast<QFrame*>(widget);
    if (qobject_cast<QLineEdit*>(widget) || qobject_cast<QComboBox*>(widget) ||
        qobject_cast<QAbstractButton*>(widget) || (frame && frame->frameShape() == QFrame::StyledPanel))
        widget->setAttribute(Qt::WA_Hover);
}

QColor TWindowStyle::FieldFrameColour(const QStyleOption& option, const QWidget* widget) {
    // A field made of several edits (the address parts) has the focus when
    // one of them has it.
    const bool focused = option.state.testFlag(QStyle::State_HasFocus) ||
                         (widget && widget->isAncestorOf(QApplication::focusWidget()));
    const bool lit = Hovered(option) || (focused && option.state.testFlag(QStyle::State_Enabled));
    return lit ? option.palette.color(QPalette::Highlight) : option.palette.color(QPalette::Dark);
}

void TWindowStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                 const QWidget* widget) const {
    switch (element) {
        case PE_FrameLineEdit:
        case PE_Frame:
            DrawPixelFrame(*painter, option->rect, FieldFrameColour(*option, widget));
            return;
        case PE_FrameGroupBox:
            DrawGroupFrame(option, painter, widget);
            return;
        case PE_PanelButtonCommand:
        case PE_IndicatorCheckBox:
        case PE_IndicatorRadioButton:
            if (const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option)) {
                const QStyleOptionButton highlighted = Highlighted(*button);
                QProxyStyle::drawPrimitive(element, &highlighted, painter, widget);
                return;
            }
            break;
        default:
            break;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

void TWindowStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                      QPainter* painter, const QWidget* widget) const {
    if (control == CC_ComboBox) {
        if (const auto* combo = qstyleoption_cast<const QStyleOptionComboBox*>(option)) {
            const QStyleOptionComboBox highlighted = Highlighted(*combo);
            QProxyStyle::drawComplexControl(control, &highlighted, painter, widget);
            return;
        }
    }
    QProxyStyle::drawComplexControl(control, option, painter, widget);
}

QRect TWindowStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl sub,
                                   const QWidget* widget) const {
    QRect rect = QProxyStyle::subControlRect(control, option, sub, widget);
    if (control != CC_GroupBox) return rect;
    const auto* box = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
    if (!box || box->text.isEmpty()) return rect;
    if (sub == SC_GroupBoxLabel || sub == SC_GroupBoxCheckBox) {
        rect.translate(kCaptionIndent, 0);
    } else if (sub == SC_GroupBoxFrame) {
        const QRect caption = QProxyStyle::subControlRect(control, option, SC_GroupBoxLabel, widget);
        rect.setTop(caption.center().y());
    }
    return rect;
}

// An etched frame, its top line broken where the caption stands.
void TWindowStyle::DrawGroupFrame(const QStyleOption* option, QPainter* painter,
                                  const QWidget* widget) const {
    painter->save();
    if (const auto* box = qobject_cast<const QGroupBox*>(widget); box && !box->title().isEmpty()) {
        QStyleOptionGroupBox caption;
        caption.initFrom(box);
        caption.text = box->title();
        caption.subControls = SC_GroupBoxLabel | SC_GroupBoxFrame;
        const QRect label = subControlRect(CC_GroupBox, &caption, SC_GroupBoxLabel, widget);
        painter->setClipRegion(QRegion(option->rect) -
                               QRegion(label.adjusted(-kCaptionGap, 0, kCaptionGap, 0)));
    }
    qDrawShadeRect(painter, option->rect, option->palette, true, 1, 0);
    painter->restore();
}

}  // namespace nkq::ui
