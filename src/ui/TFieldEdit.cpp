#include "ui/TFieldEdit.h"

#include <algorithm>

#include "ui/ModelText.h"
#include "ui/TypingLimit.h"

namespace nkq::ui {

TFieldEdit::TFieldEdit(TextField& field, QWidget* parent) : QLineEdit(parent), field_(field) {
    connect(this, &QLineEdit::textEdited, this, &TFieldEdit::Edited);
    Mirror();
}

void TFieldEdit::Mirror() {
    setEnabled(field_.Enabled());
    if (storing_) return;
    const QString text = FromModel(field_.Text());
    if (text != this->text()) setText(text);
    shown_ = text;
}

void TFieldEdit::Edited(const QString& text) {
    const QString limited = LimitTyping(shown_, text, static_cast<int>(field_.TypingLimit()));
    if (limited != text) {
        const int cursor = cursorPosition() - static_cast<int>(text.size() - limited.size());
        setText(limited);
        setCursorPosition(std::max(0, cursor));
    }
    shown_ = limited;
    storing_ = true;
    field_.SetText(ToModel(limited));
    storing_ = false;
}

}  // namespace nkq::ui
