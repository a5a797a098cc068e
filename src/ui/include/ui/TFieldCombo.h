#pragma once
// A pick-only drop-down list bound to a list field of the parameter set.
#include <QComboBox>

#include "params/ComboField.h"

namespace nkq::ui {

class TFieldCombo : public QComboBox {
    Q_OBJECT
public:
    TFieldCombo(ComboField& field, QWidget* parent = nullptr);

    // Shows the field's selection and enabled state.
    void Mirror();

private:
    ComboField& field_;
    bool mirroring_ = false;
};

}  // namespace nkq::ui
