#pragma once
// An IPv4 address control bound to an address field of the parameter set:
// four parts of 0..255 with fixed dots. Tab and Shift+Tab move between the
// parts and leave the control past the last or the first one.
#include <QFrame>
#include <QLineEdit>
#include <array>

#include "params/IpAddressField.h"

namespace nkq::ui {

class TIpAddressEdit : public QFrame {
    Q_OBJECT
public:
    TIpAddressEdit(IpAddressField& field, QWidget* parent = nullptr);

    void Mirror();

    // The four parts as shown, blanks included.
    QLineEdit* Part(int index) const { return parts_[static_cast<std::size_t>(index)]; }
    QString ShownText() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QLineEdit* MakePart();
    void PlaceParts();
    void PartEdited(int index);
    bool PartKey(int index, QKeyEvent* event);
    void LeftPart(QWidget* next_focus);
    void Store();

    IpAddressField& field_;
    std::array<QLineEdit*, 4> parts_{};
    std::array<QWidget*, 3> dots_{};
    bool storing_ = false;
};

}  // namespace nkq::ui
