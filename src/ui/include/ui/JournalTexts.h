#pragma once
// The window's texts about the work journal.
namespace nkq::ui {

inline constexpr const char* kJournalCaption = "Журнал работ";
// Followed by the reason; shown once per run, after the operation's own message.
inline constexpr const char* kJournalUnavailable = "Журнал работ недоступен: ";
inline constexpr const char* kJournalOff = "Журнал работ не ведется";

}  // namespace nkq::ui
