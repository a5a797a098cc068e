#include "ui/TFieldCombo.h"

#include "ui/ModelText.h"

namespace nkq::ui {

TFieldCombo::TFieldCombo(ComboField& field, QWidget* parent) : QComboBox(parent), field_(field) {
    setEditable(false);
    for (const std::string& entry : field_.Entries()) addItem(FromModel(entry));
    connect(this, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!mirroring_) field_.SetIndex(index);
    });
    Mirror();
}

void TFieldCombo::Mirror() {
    mirroring_ = true;
    setEnabled(field_.Enabled());
    if (currentIndex() != field_.Index()) setCurrentIndex(field_.Index());
    mirroring_ = false;
}

}  // namespace nkq::ui
