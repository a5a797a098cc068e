#include "StartupFailure.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMessageBox>

#include "app/ErrorText.h"
#include "app/Failure.h"
#include "ui/ModelText.h"

namespace nkq::ui {

void ShowStartupFailure(const std::exception& failure, std::uintptr_t address) {
    const auto* own = dynamic_cast<const Exception*>(&failure);
    const std::string kind = own ? own->KindName() : "Exception";
    const std::string message = own ? own->Message() : failure.what();
    const QString module = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    const std::string text = StartupFailureText(kind, module.toStdString(), address, message);
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Application Error"), FromMessage(text),
                    QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

}  // namespace nkq::ui
