#pragma once
// An IPv4 address control bound to an address field of the parameter set:
// four parts of 0..255 with fixed dots, typed as in the desktop's own
// address control:
// - after three digits the caret moves to the next part with its text
//   selected, so typing replaces it; a part above 255 becomes 255 as the
//   caret leaves it, and nothing is carried into the next part;
// - "." or a blank moves to the next part only after a digit was typed in
//   this one, so the "." of "192.168" after the automatic move is swallowed;
// - Backspace at the start of a part goes to the end of the previous one,
//   Left/Right cross the borders, Home/End go to the first/last part;
// - a dotted address pasted into any part fills all four, by the rules of a
//   parameter line;
// - Tab and Shift+Tab move between the parts and leave the control past the
//   last or the first one.
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
    QLineEdit* Part(int index) const;
    QString ShownText() const;

    // Names the control and its parts for assistive technology.
    void SetAccessibleName(const QString& name);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    class PartEdit;
    friend class PartEdit;

    PartEdit* MakePart(int index);
    void PlaceParts();
    // Key handling of a part: true when the key was dealt with here.
    bool PartKey(int index, QKeyEvent* event);
    void PartEdited(int index, bool digit_typed);
    void EnterPart(int index);
    void LeavePart(int index);
    void LeftControl();
    void GoToPart(int index, bool select_all, bool at_end = false);
    void PasteAddress(int index);
    void ShowPartMenu(int index, const QPoint& at);
    void Store();

    IpAddressField& field_;
    std::array<PartEdit*, 4> parts_{};
    std::array<QWidget*, 3> dots_{};
    // Whether a digit was typed in the part since the caret entered it.
    std::array<bool, 4> typed_{};
    bool storing_ = false;
};

}  // namespace nkq::ui
