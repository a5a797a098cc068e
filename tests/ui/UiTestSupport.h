#pragma once
#include <filesystem>
// What the window tests share: an operator that records instead of showing
// dialogs, file dialogs answered from a script, and a window built with them
// over a port list of its own.
#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "firmware/MemoryFileNameStore.h"
#include "ui/FileDialogs.h"
#include "ui/MainForm.h"
#include "ui/TApplication.h"
#include "ui/WindowOperator.h"

namespace nkq::ui::testing {

// Keeps every message, question, error box, cursor change and progress step
// in order; the cursor, the pending-event pass and the progress bar stay real.
class RecordingWindowOperator : public WindowOperator {
public:
    void SetCursorOverride(CursorOverride cursor) override;
    void ProcessPendingEvents() override;
    void ShowProgress(bool visible) override;
    void SetProgressTotal(int total) override;

    const std::vector<std::string>& Calls() const { return calls_; }
    std::vector<std::string> Messages() const;  // texts shown with InformOperator
    std::vector<std::string> Errors() const;    // texts of the error display
    void QueueAnswer(bool yes) { answers_.push_back(yes); }

    // Run while a message is "up" and at every pending-event pass.
    std::function<void()> while_informing;
    std::function<void()> at_pending_events;
    int pending_event_passes = 0;

protected:
    void ShowInformation(const QString& text) override;
    bool AskQuestion(const QString& text, const QString& caption) override;
    void ShowError(const QString& text) override;

private:
    std::vector<std::string> Prefixed(const std::string& prefix) const;

    std::vector<std::string> calls_;
    std::deque<bool> answers_;
};

class ScriptedFileDialogs : public FileDialogs {
public:
    std::optional<QString> OpenSettings() override { return Next("open settings"); }
    std::optional<QString> SaveSettings() override { return Next("save settings"); }
    std::optional<QString> OpenFirmware() override { return Next("open firmware"); }
    std::optional<QString> SaveJournal() override { return Next("save journal"); }

    // The next dialog's answer; nothing means cancel.
    void Queue(std::optional<QString> answer) { answers_.push_back(std::move(answer)); }
    // How long each dialog stays up, running the event loop as a modal one does.
    int hold_ms = 0;
    const std::vector<std::string>& Shown() const { return shown_; }

private:
    std::optional<QString> Next(const char* which);

    std::deque<std::optional<QString>> answers_;
    std::vector<std::string> shown_;
};

// A port list of the test's own with no port in it: empty folders below
// `root`, on Windows an empty registry key.
TPortListRoots NoPorts(const std::filesystem::path& root);

// A main window over an empty port list, with the recorder, the scripted
// dialogs (or the desktop's own) and a file name store in memory (or the one
// given).
struct TestWindow {
    enum class Dialogs { Scripted, Real };
    explicit TestWindow(std::unique_ptr<FileNameStore> store = nullptr, bool run_create = true,
                        Dialogs kind = Dialogs::Scripted);

    template <typename W>
    W* Find(const char* name) const {
        W* widget = form->findChild<W*>(QString::fromLatin1(name));
        if (!widget) qFatal("no control named %s", name);
        return widget;
    }
    // Applies parameter lines as the modem would send them (UTF-8 here).
    void Apply(const std::string& lines);
    // Clicks a captioned control the way a mouse does, focus first.
    void Click(const char* name);
    // The window's work journal, in the test's folder.
    std::filesystem::path JournalPath() const { return dir.path().toStdString() + "/journal.sqlite3"; }

    QTemporaryDir dir;
    RecordingWindowOperator* op = nullptr;
    ScriptedFileDialogs* dialogs = nullptr;  // null with the real ones
    FileNameStore* names = nullptr;
    std::unique_ptr<TMainForm> form;
};

// The parameter set's text for a window item, as UTF-8.
std::string Utf8(const std::string& cp1251);

// The platform the tests run on (offscreen unless QT_QPA_PLATFORM names
// another; on Windows its own), set before the application object is made.
void ChooseTestPlatform();

}  // namespace nkq::ui::testing

// A test program with the workstation's own application object, so a failure
// that escapes a handler reaches the error display as in the product.
#define NKQ_UI_TEST_MAIN(TestClass)             \
    int main(int argc, char** argv) {           \
        nkq::ui::testing::ChooseTestPlatform(); \
        nkq::ui::TApplication app(argc, argv);  \
        TestClass test;                         \
        return QTest::qExec(&test, argc, argv); \
    }
