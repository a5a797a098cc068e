#include "ui/EnterPressesButton.h"

#include <QAbstractButton>
#include <QEvent>
#include <QKeyEvent>

namespace nkq::ui {

namespace {

class EnterFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (!enter || key->isAutoRepeat() || (key->modifiers() & ~Qt::KeyboardModifiers(Qt::KeypadModifier)))
            return false;
        auto* button = static_cast<QAbstractButton*>(watched);
        if (button->isEnabled()) button->click();
        return true;
    }
};

}  // namespace

void PressWithEnter(QAbstractButton& button) { button.installEventFilter(new EnterFilter(&button)); }

}  // namespace nkq::ui
