#pragma once
// A numeric field bound to the parameter set: digits and one leading sign may
// be typed, the keys and the wheel step, and leaving the field brings its
// text into shape (the model's leave rule).
#include <QLineEdit>

#include "params/NumericField.h"

class QToolButton;

namespace nkq::ui {

class TNumericEdit : public QLineEdit {
    Q_OBJECT
public:
    enum class StepButtons { None, UpDown };

    TNumericEdit(NumericField& field, StepButtons buttons, QWidget* parent = nullptr);

    void Mirror();

    // Whether a typed character may go in, given the text and selection.
    static bool AcceptsTyped(QChar typed, const QString& text, int cursor, bool whole_text_selected);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Store(const QString& text);
    void Step(int delta);
    QToolButton* MakeStepButton(Qt::ArrowType arrow, int delta);
    void PlaceStepButtons();

    NumericField& field_;
    QToolButton* up_ = nullptr;
    QToolButton* down_ = nullptr;
    bool storing_ = false;
    int wheel_rest_ = 0;
};

}  // namespace nkq::ui
