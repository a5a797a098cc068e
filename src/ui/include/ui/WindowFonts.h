#pragma once
// The fonts the window is drawn with. The layout has fixed pixel positions,
// so the text must come in a font whose widths fit it: Arial and Courier New
// on Windows, which has them, and on Linux their metric twins Liberation Sans
// and Liberation Mono (Debian package fonts-liberation2).
#include <QFont>
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

// Every control, dialog and message of the program.
QFont WindowFont();
// The status window's list of connections.
QFont FixedFont();
// The bold colon between a check address and its port.
QFont ColonFont();

// Makes WindowFont the application's font, so Qt's own dialogs use it too.
void InstallWindowFont(QApplication& app);

}  // namespace nkq::ui
