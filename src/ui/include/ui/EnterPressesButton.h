#pragma once
// Enter and Return press a focused button as Space does. Qt gives buttons
// that only inside dialogs (the default button); in the main window a
// technician working by keyboard alone expects it of every button.
class QAbstractButton;

namespace nkq::ui {

void PressWithEnter(QAbstractButton& button);

}  // namespace nkq::ui
