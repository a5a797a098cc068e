#include "ui/ReportError.h"

#include <QWidget>

#include "app/ErrorText.h"
#include "app/Failure.h"
#include "ui/ModelText.h"
#include "ui/WindowOperator.h"

namespace nkq::ui {

std::optional<QString> ErrorDisplayFor(const std::exception& failure) {
    if (dynamic_cast<const EAbort*>(&failure)) return std::nullopt;
    const auto* own = dynamic_cast<const Exception*>(&failure);
    const std::string message = own ? own->Message() : std::string(failure.what());
    return FromMessage(ErrorDisplayText(message));
}

void ReportError(WindowOperator& op, const std::exception& failure) {
    if (QWidget* grabber = QWidget::mouseGrabber()) grabber->releaseMouse();
    if (const auto text = ErrorDisplayFor(failure)) op.ShowErrorBox(*text);
}

}  // namespace nkq::ui
