#include "ui/TNumericEdit.h"

#include <QKeyEvent>
#include <QToolButton>
#include <QWheelEvent>

#include "ui/ModelText.h"

namespace nkq::ui {

namespace {
constexpr int kStepButtonWidth = 13;
}

TNumericEdit::TNumericEdit(NumericField& field, StepButtons buttons, QWidget* parent)
    : QLineEdit(parent), field_(field) {
    connect(this, &QLineEdit::textEdited, this, &TNumericEdit::Store);
    if (buttons == StepButtons::UpDown) {
        // No Tab stops of their own: Up and Down in the field do the same.
        up_ = MakeStepButton(Qt::UpArrow, 1);
        up_->setAccessibleName(QStringLiteral("Больше"));
        down_ = MakeStepButton(Qt::DownArrow, -1);
        down_->setAccessibleName(QStringLiteral("Меньше"));
        setTextMargins(0, 0, kStepButtonWidth, 0);
    }
    Mirror();
}

QToolButton* TNumericEdit::MakeStepButton(Qt::ArrowType arrow, int delta) {
    auto* button = new QToolButton(this);
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setCursor(Qt::ArrowCursor);
    connect(button, &QToolButton::clicked, this, [this, delta] { Step(delta); });
    return button;
}

void TNumericEdit::resizeEvent(QResizeEvent* event) {
    QLineEdit::resizeEvent(event);
    PlaceStepButtons();
}

void TNumericEdit::PlaceStepButtons() {
    if (!up_) return;
    const int half = height() / 2;
    up_->setGeometry(width() - kStepButtonWidth - 1, 1, kStepButtonWidth, half - 1);
    down_->setGeometry(width() - kStepButtonWidth - 1, half, kStepButtonWidth, height() - half - 1);
}

void TNumericEdit::Mirror() {
    setEnabled(field_.Enabled());
    if (storing_) return;
    const QString text = FromModel(field_.Text());
    if (text != this->text()) setText(text);
}

void TNumericEdit::Store(const QString& text) {
    storing_ = true;
    field_.SetText(ToModel(text));
    storing_ = false;
}

void TNumericEdit::Step(int delta) {
    field_.Step(delta);
    selectAll();
}

bool TNumericEdit::AcceptsTyped(QChar typed, const QString& text, int cursor, bool whole_text_selected) {
    if (typed.isDigit() && typed.unicode() < 0x80) return true;
    if (typed != u'+' && typed != u'-') return false;
    if (whole_text_selected) return true;
    const bool has_sign = text.startsWith(u'+') || text.startsWith(u'-');
    return cursor == 0 && !has_sign;
}

void TNumericEdit::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Up:
            return Step(1);
        case Qt::Key_Down:
            return Step(-1);
        case Qt::Key_PageUp:
            return Step(10);
        case Qt::Key_PageDown:
            return Step(-10);
        default:
            break;
    }
    const QString typed = event->text();
    const bool printable = typed.size() == 1 && typed[0].isPrint() &&
                           !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if (printable) {
        const bool whole = hasSelectedText() && selectedText().size() == text().size();
        const int cursor = hasSelectedText() ? selectionStart() : cursorPosition();
        if (!AcceptsTyped(typed[0], text(), cursor, whole)) {
            event->accept();
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
}

void TNumericEdit::wheelEvent(QWheelEvent* event) {
    // One notch is 120 eighths of a degree; fine-grained wheels add up.
    wheel_rest_ += event->angleDelta().y();
    const int notches = wheel_rest_ / 120;
    wheel_rest_ -= notches * 120;
    const int size = (event->modifiers() & Qt::ControlModifier) ? 10 : 1;
    for (int i = 0; i < std::abs(notches); ++i) Step(notches > 0 ? size : -size);
    event->accept();
}

void TNumericEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // Another window taking over is not the operator leaving the field.
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
        field_.Leave();
}

}  // namespace nkq::ui
