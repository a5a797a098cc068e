#include "ui/WindowFonts.h"

#include <QApplication>

namespace nkq::ui {

QFont WindowFont() { return QFont(QString::fromLatin1(kWindowFontFamily), 8); }

QFont FixedFont() {
    QFont font(QString::fromLatin1(kFixedFontFamily), 8);
    font.setStyleHint(QFont::Monospace);
    return font;
}

QFont ColonFont() {
    QFont font = WindowFont();
    font.setPointSize(12);
    font.setBold(true);
    return font;
}

void InstallWindowFont(QApplication& app) { app.setFont(WindowFont()); }

}  // namespace nkq::ui
