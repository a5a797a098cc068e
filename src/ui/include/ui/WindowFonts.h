#pragma once
// The fonts the window is drawn with. The layout has fixed pixel positions,
// so the text must come in a font whose widths fit it: Liberation Sans has
// the advance widths of Arial (Debian package fonts-liberation2), and
// Liberation Mono those of Courier New. Without Liberation Sans the window
// takes Arial itself, then Arimo (Arial's other metric twin, fonts-croscore),
// and only then the style's own sans font, saying so on standard error,
// since some captions may then not fit.
#include <QFont>
#include <QString>
#include <QStringList>

class QApplication;

namespace nkq::ui {

inline constexpr const char* kWindowFontFamily = "Liberation Sans";
inline constexpr const char* kFixedFontFamily = "Liberation Mono";

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
