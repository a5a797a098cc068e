// nkq-workstation: the desktop window for setting up, checking and
// re-flashing the modems. Takes no arguments; exits with 0 after a normal
// end and 1 when it could not start.
#include <memory>

#include "StartupFailure.h"
#include "StartupProbe.h"
#include "app/Catalogue.h"
#include "serial/PortTrace.h"
#include "ui/ApplicationTitle.h"
#include "ui/MainForm.h"
#include "ui/TApplication.h"

namespace {

std::unique_ptr<nkq::ui::TMainForm> CreateMainForm() { return std::make_unique<nkq::ui::TMainForm>(); }

}  // namespace

int main(int argc, char* argv[]) {
    // Libraries: the catalogue's language is fixed now (its file opens at the
    // first lookup); the application object follows it with Qt's own texts.
    nkq::InitCatalogue();
    nkq::ui::TApplication app(argc, argv);
    // Only the name: a display name would be appended to every caption.
    QCoreApplication::setApplicationName(QString::fromUtf8(nkq::ui::kApplicationTitle));
    std::unique_ptr<nkq::ui::TMainForm> form;
    try {
        form = CreateMainForm();
    } catch (const std::exception& failure) {
        nkq::ui::ShowStartupFailure(failure, reinterpret_cast<std::uintptr_t>(&CreateMainForm));
        return 1;
    }
    // Support's exchange trace: off unless NKQ_TRACE names a file, read once.
    form->ComPort().SetTrace(nkq::PortTraceFromEnvironment());
    // Its failures go to the error display; the window opens regardless.
    form->FormCreate();
    nkq::ui::InstallStartupProbe(*form);
    form->show();
    app.exec();
    return 0;
}
