#include "ui/WindowFonts.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <cstdio>

namespace nkq::ui {

namespace {

constexpr int kWindowPointSize = 8;

// Chosen once the application exists; empty until then.
QString& ChosenFamily() {
    static QString family;
    return family;
}

QString WindowFamily() {
    if (ChosenFamily().isEmpty()) {
        const QString installed = InstalledWindowFamily();
        return installed.isEmpty() ? QFontInfo(QApplication::font()).family() : installed;
    }
    return ChosenFamily();
}

}  // namespace

QStringList WindowFontFamilies() {
    QStringList families{QString::fromLatin1(kWindowFontFamily), QStringLiteral("Arial"),
                         QStringLiteral("Arimo")};
    families.removeDuplicates();  // on Windows the first choice is Arial itself
    return families;
}

QString InstalledWindowFamily() {
    for (const QString& family : WindowFontFamilies())
        if (QFontDatabase::hasFamily(family)) return family;
    return {};
}

QFont WindowFont() { return QFont(WindowFamily(), kWindowPointSize); }

QFont FixedFont() {
    QFont font(QString::fromLatin1(kFixedFontFamily), kWindowPointSize);
    font.setStyleHint(QFont::Monospace);
    return font;
}

QFont ColonFont() {
    QFont font = WindowFont();
    font.setPointSize(12);
    font.setBold(true);
    return font;
}

void InstallWindowFont(QApplication& app) {
    QString family = InstalledWindowFamily();
    if (family.isEmpty()) {
        family = QFontInfo(app.font()).family();
        std::fprintf(stderr,
                     "warning: neither %s nor Arial is installed; the window uses %s, in which some "
                     "captions may not fit (install fonts-liberation2)\n",
                     kWindowFontFamily, family.toUtf8().constData());
        std::fflush(stderr);
    }
    ChosenFamily() = family;
    app.setFont(WindowFont());
}

}  // namespace nkq::ui
