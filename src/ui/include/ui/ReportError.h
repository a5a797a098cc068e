#pragma once
// The application's error display: where every failure that no operation
// handled ends up.
#include <QString>
#include <exception>
#include <optional>

namespace nkq::ui {

class WindowOperator;

// The text the display shows for a failure, or nothing for the silent abort.
std::optional<QString> ErrorDisplayFor(const std::exception& failure);

// Cancels a mouse capture, drops the silent abort, and shows the rest in the
// stop box captioned with the application title.
void ReportError(WindowOperator& op, const std::exception& failure);

}  // namespace nkq::ui
