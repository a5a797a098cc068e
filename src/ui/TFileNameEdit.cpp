#include "ui/TFileNameEdit.h"

#include <QKeyEvent>
#include <QToolButton>

#include "ui/EnterPressesButton.h"

namespace nkq::ui {

namespace {
constexpr int kButtonWidth = 18;
}

TFileNameEdit::TFileNameEdit(QWidget* parent) : QLineEdit(parent), button_(new QToolButton(this)) {
    button_->setText(QStringLiteral("..."));
    button_->setToolTip(QStringLiteral("Выбрать файл (F4)"));
    button_->setAccessibleName(QStringLiteral("Выбрать файл"));
    button_->setFocusPolicy(Qt::StrongFocus);
    PressWithEnter(*button_);
    button_->setCursor(Qt::ArrowCursor);
    setTextMargins(0, 0, kButtonWidth, 0);
    connect(button_, &QToolButton::clicked, this, &TFileNameEdit::ButtonClicked);
}

void TFileNameEdit::resizeEvent(QResizeEvent* event) {
    QLineEdit::resizeEvent(event);
    button_->setGeometry(width() - kButtonWidth - 1, 1, kButtonWidth, height() - 2);
}

void TFileNameEdit::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F4 && event->modifiers() == Qt::NoModifier) {
        event->accept();
        if (button_->isEnabled()) emit ButtonClicked();  // works the button only when it works
        return;
    }
    QLineEdit::keyPressEvent(event);
}

}  // namespace nkq::ui
