#pragma once
// A single-line text control bound to a text field of the parameter set.
#include <QLineEdit>

#include "params/TextField.h"

namespace nkq::ui {

class TFieldEdit : public QLineEdit {
    Q_OBJECT
public:
    TFieldEdit(TextField& field, QWidget* parent = nullptr);

    // Shows the field's text and enabled state.
    void Mirror();

private:
    void Edited(const QString& text);

    TextField& field_;
    QString shown_;
    bool storing_ = false;
};

}  // namespace nkq::ui
