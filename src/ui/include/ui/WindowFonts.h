#pragma once
// The fonts the window is drawn with. The layout has fixed pixel positions,
// so the text must come in a font whose widths fit it: Liberation Sans has
// the advance widths of Arial (Debian package fonts-liberation2), and
// Liberation Mono those of Courier New.
#include <QFont>

class QApplication;

namespace nkq::ui {

inline constexpr const char* kWindowFontFamily = "Liberation Sans";
inline constexpr const char* kFixedFontFamily = "Liberation Mono";

// Every control, dialog and message of the program.
QFont WindowFont();
// The status window's list of connections.
QFont FixedFont();
// The bold colon between a check address and its port.
QFont ColonFont();

// Makes WindowFont the application's font, so Qt's own dialogs use it too.
void InstallWindowFont(QApplication& app);

}  // namespace nkq::ui
