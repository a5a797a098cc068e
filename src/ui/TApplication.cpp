#include "ui/TApplication.h"

#include <QTranslator>

#include "ui/QtTranslations.h"
#include "ui/ReportError.h"
#include "ui/TWindowStyle.h"
#include "ui/WindowFonts.h"
#include "ui/WindowOperator.h"

namespace nkq::ui {

namespace {
WindowOperator* g_error_operator = nullptr;

// Used when no window has registered an operator yet.
WindowOperator& FallbackOperator() {
    static WindowOperator fallback;
    return fallback;
}
}  // namespace

TApplication::TApplication(int& argc, char** argv)
    : QApplication(argc, argv), qt_translation_(LoadProgramQtTranslation()) {
    setStyle(new TWindowStyle);  // owned by the application
    InstallWindowFont(*this);
    if (qt_translation_) installTranslator(qt_translation_.get());
}

TApplication::~TApplication() { g_error_operator = nullptr; }

void TApplication::SetErrorOperator(WindowOperator* op) { g_error_operator = op; }

WindowOperator* TApplication::ErrorOperator() { return g_error_operator; }

void TApplication::ReportFailure(const std::exception& failure) {
    ReportError(g_error_operator ? *g_error_operator : FallbackOperator(), failure);
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& failure) {
        ReportFailure(failure);
    }
    return false;
}

}  // namespace nkq::ui
