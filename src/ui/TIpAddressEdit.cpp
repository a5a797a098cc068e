#include "ui/TIpAddressEdit.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QRegularExpressionValidator>
#include <algorithm>

namespace nkq::ui {

TIpAddressEdit::TIpAddressEdit(IpAddressField& field, QWidget* parent) : QFrame(parent), field_(field) {
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    setFocusPolicy(Qt::NoFocus);
    for (std::size_t i = 0; i < parts_.size(); ++i) {
        parts_[i] = MakePart();
        if (i < dots_.size()) {
            auto* dot = new QLabel(QStringLiteral("."), this);
            dot->setAlignment(Qt::AlignCenter);
            dots_[i] = dot;
        }
    }
    // The parts take the focus instead of the frame.
    setFocusProxy(parts_[0]);
    Mirror();
}

QLineEdit* TIpAddressEdit::MakePart() {
    auto* part = new QLineEdit(this);
    part->setFrame(false);
    part->setAlignment(Qt::AlignCenter);
    part->setMaxLength(3);
    part->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,3}")), part));
    part->installEventFilter(this);
    const int index = static_cast<int>(std::find(parts_.begin(), parts_.end(), nullptr) - parts_.begin());
    connect(part, &QLineEdit::textEdited, this, [this, index] { PartEdited(index); });
    return part;
}

void TIpAddressEdit::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    PlaceParts();
}

void TIpAddressEdit::PlaceParts() {
    const QRect inner = contentsRect();
    const int dot_width = 4;
    const int part_width = (inner.width() - 3 * dot_width) / 4;
    int x = inner.left();
    for (std::size_t i = 0; i < parts_.size(); ++i) {
        parts_[i]->setGeometry(x, inner.top(), part_width, inner.height());
        x += part_width;
        if (i < dots_.size()) {
            dots_[i]->setGeometry(x, inner.top(), dot_width, inner.height());
            x += dot_width;
        }
    }
}

QString TIpAddressEdit::ShownText() const {
    QStringList pieces;
    for (QLineEdit* part : parts_) pieces << part->text();
    return pieces.join(u'.');
}

void TIpAddressEdit::Mirror() {
    setEnabled(field_.Enabled());
    if (storing_) return;
    const auto& numbers = field_.GetParts();
    for (std::size_t i = 0; i < parts_.size(); ++i) parts_[i]->setText(QString::number(numbers[i]));
}

void TIpAddressEdit::Store() {
    IpAddressField::Parts numbers{};
    for (std::size_t i = 0; i < parts_.size(); ++i)
        numbers[i] = static_cast<std::uint8_t>(parts_[i]->text().toInt());
    storing_ = true;
    field_.SetParts(numbers);
    storing_ = false;
}

void TIpAddressEdit::PartEdited(int index) {
    QLineEdit* part = Part(index);
    // A part holds at most 255, as in the desktop's own address control.
    if (part->text().toInt() > 255) part->setText(QStringLiteral("255"));
    Store();
    if (part->text().size() == 3 && part->cursorPosition() == 3 && index < 3) {
        Part(index + 1)->setFocus(Qt::TabFocusReason);
        Part(index + 1)->selectAll();
    }
}

bool TIpAddressEdit::PartKey(int index, QKeyEvent* event) {
    QLineEdit* part = Part(index);
    const bool at_start = part->cursorPosition() == 0 && !part->hasSelectedText();
    const bool at_end = part->cursorPosition() == part->text().size() && !part->hasSelectedText();
    if ((event->text() == QStringLiteral(".") || event->key() == Qt::Key_Space) && index < 3) {
        if (!part->text().isEmpty()) {
            Part(index + 1)->setFocus(Qt::TabFocusReason);
            Part(index + 1)->selectAll();
        }
        return true;
    }
    if (event->key() == Qt::Key_Right && at_end && index < 3) {
        Part(index + 1)->setFocus(Qt::OtherFocusReason);
        Part(index + 1)->setCursorPosition(0);
        return true;
    }
    if ((event->key() == Qt::Key_Left || event->key() == Qt::Key_Backspace) && at_start && index > 0) {
        Part(index - 1)->setFocus(Qt::OtherFocusReason);
        Part(index - 1)->end(false);
        return event->key() == Qt::Key_Left;
    }
    return false;
}

void TIpAddressEdit::LeftPart(QWidget* next_focus) {
    // Still inside the control: nothing to complete yet.
    for (QLineEdit* part : parts_)
        if (part == next_focus) return;
    bool any_number = false;
    for (QLineEdit* part : parts_) any_number = any_number || !part->text().isEmpty();
    if (!any_number) return;
    for (QLineEdit* part : parts_)
        if (part->text().isEmpty()) part->setText(QStringLiteral("0"));
}

bool TIpAddressEdit::eventFilter(QObject* watched, QEvent* event) {
    const auto found = std::find(parts_.begin(), parts_.end(), watched);
    if (found == parts_.end()) return QFrame::eventFilter(watched, event);
    const int index = static_cast<int>(found - parts_.begin());
    if (event->type() == QEvent::KeyPress) return PartKey(index, static_cast<QKeyEvent*>(event));
    if (event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            LeftPart(QApplication::focusWidget());
    }
    if (event->type() == QEvent::FocusIn) Part(index)->selectAll();
    return false;
}

}  // namespace nkq::ui
