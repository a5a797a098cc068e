#include "TextFit.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOption>
#include <QToolButton>

namespace nkq::ui::testing {

namespace {

// The controls' own style options are protected; these open them up.
struct GroupBoxAccess : QGroupBox {
    using QGroupBox::initStyleOption;
};
struct PushButtonAccess : QPushButton {
    using QPushButton::initStyleOption;
};
struct CheckBoxAccess : QCheckBox {
    using QCheckBox::initStyleOption;
};
struct RadioButtonAccess : QRadioButton {
    using QRadioButton::initStyleOption;
};
struct ToolButtonAccess : QToolButton {
    using QToolButton::initStyleOption;
};

QString Name(const QWidget& widget, const QString& text) {
    const QString name = widget.objectName().isEmpty() ? QString::fromLatin1(widget.metaObject()->className())
                                                       : widget.objectName();
    return name + QStringLiteral(" \"") + text + u'"';
}

QString Sizes(QSize needed, QSize room) {
    return QStringLiteral(" needs %1x%2, has %3x%4")
        .arg(needed.width())
        .arg(needed.height())
        .arg(room.width())
        .arg(room.height());
}

void Check(QStringList& misfits, const QWidget& widget, const QString& text, QSize needed, QSize room) {
    if (needed.width() > room.width() || needed.height() > room.height())
        misfits << Name(widget, text) + Sizes(needed, room);
}

// Plain one-line text as the font draws it; several lines when wrapped.
QSize TextSize(const QWidget& widget, const QString& text, const QRect& room, bool wrap) {
    const QFontMetrics metrics = widget.fontMetrics();
    if (wrap) return metrics.boundingRect(room, Qt::TextWordWrap, text).size();
    return {metrics.horizontalAdvance(text), metrics.height()};
}

void CheckLabel(QStringList& misfits, const QLabel& label) {
    if (label.text().isEmpty()) return;
    const QRect room =
        label.contentsRect().adjusted(label.margin(), label.margin(), -label.margin(), -label.margin());
    Check(misfits, label, label.text(), TextSize(label, label.text(), room, label.wordWrap()), room.size());
}

void CheckGroupCaption(QStringList& misfits, const QGroupBox& box) {
    if (box.title().isEmpty()) return;
    QStyleOptionGroupBox option;
    (box.*(&GroupBoxAccess::initStyleOption))(&option);
    const QRect caption =
        box.style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, &box);
    // The caption's rectangle is cut to the box, so compare with what is left.
    const QRect room = caption.intersected(box.rect());
    Check(misfits, box, box.title(), TextSize(box, box.title(), room, false), room.size());
}

// A push or tool button: the size its style needs to draw the caption with
// its frame and margins.
template <typename Access, typename Option, typename Button>
void CheckButton(QStringList& misfits, const Button& button, QStyle::ContentsType type) {
    if (button.text().isEmpty()) return;
    Option option;
    (button.*(&Access::initStyleOption))(&option);
    const QSize text = TextSize(button, button.text(), button.rect(), false);
    // What the style adds around a long caption: its frame and margins,
    // without the least width it gives every captioned button.
    constexpr int kLong = 1000;
    const QSize padded =
        button.style()->sizeFromContents(type, &option, QSize(kLong, text.height()), &button);
    const QSize needed(text.width() + padded.width() - kLong, padded.height());
    Check(misfits, button, button.text(), needed, button.size());
}

// A check box or radio button: the caption inside the contents rectangle the
// style leaves beside the indicator, and the indicator inside the control.
template <typename Access, typename Option, typename Button>
void CheckIndicatorButton(QStringList& misfits, const Button& button, QStyle::SubElement contents,
                          QStyle::SubElement indicator) {
    Option option;
    (button.*(&Access::initStyleOption))(&option);
    const QRect room = button.style()->subElementRect(contents, &option, &button);
    const QRect mark = button.style()->subElementRect(indicator, &option, &button);
    if (!button.rect().contains(mark))
        misfits << Name(button, QStringLiteral("indicator")) + Sizes(mark.size(), button.size());
    Check(misfits, button, button.text(), TextSize(button, button.text(), room, false),
          room.intersected(button.rect()).size());
}

}  // namespace

QStringList TextMisfits(const QWidget& root) {
    QStringList misfits;
    for (const QWidget* widget : root.findChildren<const QWidget*>()) {
        if (widget->window() != &root) continue;  // a window of its own is checked by itself
        if (const auto* label = qobject_cast<const QLabel*>(widget)) {
            CheckLabel(misfits, *label);
        } else if (const auto* box = qobject_cast<const QGroupBox*>(widget)) {
            CheckGroupCaption(misfits, *box);
        } else if (const auto* push = qobject_cast<const QPushButton*>(widget)) {
            CheckButton<PushButtonAccess, QStyleOptionButton>(misfits, *push, QStyle::CT_PushButton);
        } else if (const auto* tool = qobject_cast<const QToolButton*>(widget)) {
            CheckButton<ToolButtonAccess, QStyleOptionToolButton>(misfits, *tool, QStyle::CT_ToolButton);
        } else if (const auto* check = qobject_cast<const QCheckBox*>(widget)) {
            CheckIndicatorButton<CheckBoxAccess, QStyleOptionButton>(
                misfits, *check, QStyle::SE_CheckBoxContents, QStyle::SE_CheckBoxIndicator);
        } else if (const auto* radio = qobject_cast<const QRadioButton*>(widget)) {
            CheckIndicatorButton<RadioButtonAccess, QStyleOptionButton>(
                misfits, *radio, QStyle::SE_RadioButtonContents, QStyle::SE_RadioButtonIndicator);
        }
    }
    return misfits;
}

namespace {

QString Caption(const QWidget& widget) {
    if (const auto* label = qobject_cast<const QLabel*>(&widget)) return label->text();
    if (const auto* button = qobject_cast<const QAbstractButton*>(&widget)) return button->text();
    return {};
}

// Inside the frame lines of a group box; the whole box for anything else.
QRect Inside(const QWidget& parent) {
    const auto* box = qobject_cast<const QGroupBox*>(&parent);
    if (!box) return parent.rect();
    QStyleOptionGroupBox option;
    (box->*(&GroupBoxAccess::initStyleOption))(&option);
    const QRect frame =
        box->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxFrame, box);
    const int line = box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, box);
    return frame.adjusted(line, line, -line, -line);
}

}  // namespace

QStringList PlacementMisfits(const QWidget& root) {
    QStringList misfits;
    QList<const QWidget*> parents = root.findChildren<const QWidget*>();
    parents << &root;
    for (const QWidget* parent : parents) {
        if (!qobject_cast<const QGroupBox*>(parent) && parent != &root) continue;
        const QRect inside = Inside(*parent);
        const auto children = parent->findChildren<const QWidget*>(Qt::FindDirectChildrenOnly);
        for (const QWidget* child : children) {
            if (child->isWindow()) continue;
            if (!inside.contains(child->geometry()))
                misfits << Name(*child, Caption(*child)) + QStringLiteral(" outside ") + parent->objectName();
            for (const QWidget* other : children) {
                if (other <= child || other->isWindow()) continue;
                // Two free pixels at least, so that no text touches a field.
                if (child->geometry().adjusted(-2, -2, 2, 2).intersects(other->geometry()))
                    misfits << Name(*child, Caption(*child)) + QStringLiteral(" touches ") +
                                   Name(*other, Caption(*other));
            }
        }
    }
    return misfits;
}

}  // namespace nkq::ui::testing
