#pragma once
// A file name field with a small "..." button at its right end; F4 in the
// field works the button too, while the button is enabled.
#include <QLineEdit>

class QToolButton;

namespace nkq::ui {

class TFileNameEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TFileNameEdit(QWidget* parent = nullptr);

    QToolButton* Button() const { return button_; }

signals:
    void ButtonClicked();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QToolButton* button_;
};

}  // namespace nkq::ui
