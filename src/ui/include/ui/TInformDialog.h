#pragma once
// The information message: the application title as caption, no icon, the
// text wrapped to at most half the screen width, one "OK" button that Enter
// and Esc both press.
#include <QDialog>

class QLabel;
class QPushButton;

namespace nkq::ui {

class TInformDialog : public QDialog {
    Q_OBJECT
public:
    TInformDialog(const QString& caption, const QString& text, QWidget* parent = nullptr);

    QLabel* TextLabel() const { return label_; }
    QPushButton* OkButton() const { return ok_; }

    // Line breaks of any kind kept, tabs expanded to stops of eight.
    static QString ShapeText(const QString& text);

private:
    void CentreOnScreen();

    QLabel* label_;
    QPushButton* ok_;
};

}  // namespace nkq::ui
