#pragma once
// For the start-up benchmark only: with NKQ_STARTUP_PROBE=1 in the
// environment, the program prints the wall-clock time of the main window's
// first paint and ends half a second later. Off otherwise, and free then.
class QWidget;

namespace nkq::ui {

void InstallStartupProbe(QWidget& window);

}  // namespace nkq::ui
