#pragma once
// The application object: holds the title and guards every event dispatch,
// so that a failure escaping a handler reaches the error display and the
// event loop goes on. It also gives Qt's own dialogs the window's font, look
// and language.
#include <QApplication>
#include <memory>

class QTranslator;

namespace nkq::ui {

class WindowOperator;

class TApplication : public QApplication {
    Q_OBJECT
public:
    TApplication(int& argc, char** argv);
    ~TApplication() override;

    // Where escaping failures are shown; the main window registers its own.
    static void SetErrorOperator(WindowOperator* op);
    static WindowOperator* ErrorOperator();

    bool notify(QObject* receiver, QEvent* event) override;

    // Runs `handler`, sending a failure that escapes it to the error display.
    template <typename Handler>
    static void Guarded(Handler&& handler) {
        try {
            handler();
        } catch (const std::exception& failure) {
            ReportFailure(failure);
        }
    }

    static void ReportFailure(const std::exception& failure);

private:
    std::unique_ptr<QTranslator> qt_translation_;
};

}  // namespace nkq::ui
