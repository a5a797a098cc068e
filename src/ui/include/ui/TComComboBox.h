#pragma once
// The port selector: a pick-only list of the machine's serial ports that
// mirrors the Qt-free selector model; the operator's picks go to the model,
// which names the bound port.
#include <QComboBox>
#include <exception>
#include <functional>

#include "serial/ComSelectorModel.h"

namespace nkq::ui {

class TComComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit TComComboBox(TPortListRoots roots = {}, QWidget* parent = nullptr);

    TComSelectorModel& Selector() { return selector_; }

    // Where a failure of a pick goes (the application's error display).
    void SetFailureHandler(std::function<void(const std::exception&)> handler) {
        failed_ = std::move(handler);
    }

private:
    void MirrorEntries();
    void MirrorSelection();

    TComSelectorModel selector_;
    bool mirroring_ = false;
    std::function<void(const std::exception&)> failed_;
};

}  // namespace nkq::ui
