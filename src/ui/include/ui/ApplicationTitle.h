#pragma once
// The program's two names. They differ in one word on purpose: the title
// names the program, the caption the main window.
namespace nkq::ui {

inline constexpr const char* kApplicationTitle = "Рабочее место настройки и проверки модемов Morvasta NKQ";
inline constexpr const char* kMainWindowCaption = "Рабочее место настройки и поверки модемов Morvasta NKQ";

}  // namespace nkq::ui
