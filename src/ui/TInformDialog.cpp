#include "ui/TInformDialog.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "app/LibraryText.h"

namespace nkq::ui {

QString TInformDialog::ShapeText(const QString& text) {
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    QString shaped;
    int column = 0;
    for (const QChar c : lines) {
        if (c == u'\t') {
            const int spaces = 8 - column % 8;
            shaped += QString(spaces, u' ');
            column += spaces;
        } else {
            shaped += c;
            column = c == u'\n' ? 0 : column + 1;
        }
    }
    return shaped;
}

TInformDialog::TInformDialog(const QString& caption, const QString& text, QWidget* parent)
    : QDialog(parent), label_(new QLabel(this)), ok_(new QPushButton(this)) {
    setWindowTitle(caption);
    setWindowModality(Qt::ApplicationModal);
    label_->setTextFormat(Qt::PlainText);
    label_->setWordWrap(true);
    label_->setText(ShapeText(text));
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int half_screen = screen ? screen->availableGeometry().width() / 2 : 512;
    const QRect needed = label_->fontMetrics().boundingRect(QRect(0, 0, half_screen, 100000),
                                                            Qt::TextWordWrap, label_->text());
    label_->setFixedWidth(std::min(half_screen, needed.width() + 2));

    ok_->setText(QString::fromStdString(LibraryText("OK")));
    ok_->setDefault(true);
    ok_->setAutoDefault(true);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(label_);
    layout->addWidget(ok_, 0, Qt::AlignHCenter);
    CentreOnScreen();
}

void TInformDialog::CentreOnScreen() {
    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

}  // namespace nkq::ui
