#include "ui/TComComboBox.h"

namespace nkq::ui {

TComComboBox::TComComboBox(TPortListRoots roots, QWidget* parent)
    : QComboBox(parent), selector_(std::move(roots)) {
    setEditable(false);
    selector_.SetListener([this](TComSelectorChange change) {
        if (change == TComSelectorChange::Entries) MirrorEntries();
        MirrorSelection();
    });
    // Only a change the operator makes is a pick; the model's own selections
    // arrive while mirroring.
    connect(this, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (mirroring_) return;
        try {
            selector_.PickEntry(index);
        } catch (const std::exception& failure) {
            if (!failed_) throw;
            failed_(failure);
        }
    });
}

void TComComboBox::MirrorEntries() {
    mirroring_ = true;
    clear();
    for (const std::string& name : selector_.Items()) addItem(QString::fromStdString(name));
    mirroring_ = false;
}

void TComComboBox::MirrorSelection() {
    mirroring_ = true;
    if (currentIndex() != selector_.ItemIndex()) setCurrentIndex(selector_.ItemIndex());
    mirroring_ = false;
}

}  // namespace nkq::ui
