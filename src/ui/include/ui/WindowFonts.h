#pragma once
// The fonts the window is drawn with. The layout has fixed pixel positions,
// so the text must come in a font whose widths fit it: Arial and Courier New
// on Windows, which has them, and on Linux their metric twins Liberation Sans
// and Liberation Mono (Debian package fonts-liberation2). Without Liberation
// Sans the window takes Arial itself, then Arimo (Arial's other metric twin,
// fonts-croscore), and only then the style's own sans font, saying so on
// standard error, since some captions may then not fit.
#include <QFont>
#include <QString>
#include <QStringList>
#include <QtGlobal>

class QApplication;

namespace nkq::ui {

#ifdef Q_OS_WIN
inline constexpr const char* kWindowFontFamily = "Arial";
inline constexpr const char* kFixedFontFamily = "Courier New";
#else
inline constexpr const char* kWindowFontFamily = "Liberation Sans";
inline constexpr const char* kFixedFontFamily = "Liberation Mono";
#endif

// The families with the widths the layout was made for, in the order tried.
QStringList WindowFontFamilies();

// The first of WindowFontFamilies that is installed; empty when none is.
QString InstalledWindowFamily();

// Every control, dialog and message of the program.
QFont WindowFont();
// The status window's list of connections.
QFont FixedFont();
// The bold colon between a check address and its port.
QFont ColonFont();

// Makes WindowFont the application's font, so Qt's own dialogs use it too;
// without any of WindowFontFamilies it keeps the style's font and says
// which on standard error.
void InstallWindowFont(QApplication& app);

}  // namespace nkq::ui
