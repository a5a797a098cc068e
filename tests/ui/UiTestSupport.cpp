#include "UiTestSupport.h"

#include <QWidget>
#include <filesystem>

#include "RecordingOperator.h"
#include "app/Cp1251.h"
#include "params/ParameterLines.h"

namespace nkq::ui::testing {

using nkq::testing::CursorName;

void RecordingWindowOperator::SetCursorOverride(CursorOverride cursor) {
    calls_.push_back(std::string("cursor: ") + CursorName(cursor));
    WindowOperator::SetCursorOverride(cursor);
}

void RecordingWindowOperator::ProcessPendingEvents() {
    ++pending_event_passes;
    if (at_pending_events) at_pending_events();
    WindowOperator::ProcessPendingEvents();
}

void RecordingWindowOperator::ShowProgress(bool visible) {
    calls_.push_back(visible ? "progress: show" : "progress: hide");
    WindowOperator::ShowProgress(visible);
}

void RecordingWindowOperator::SetProgressTotal(int total) {
    calls_.push_back("progress: total " + std::to_string(total));
    WindowOperator::SetProgressTotal(total);
}

void RecordingWindowOperator::ShowInformation(const QString& text) {
    calls_.push_back("inform: " + text.toStdString());
    if (while_informing) while_informing();
}

bool RecordingWindowOperator::AskQuestion(const QString& text, const QString& caption) {
    const bool yes = !answers_.empty() && answers_.front();
    if (!answers_.empty()) answers_.pop_front();
    calls_.push_back("ask: " + caption.toStdString() + ": " + text.toStdString() +
                     (yes ? " -> yes" : " -> no"));
    return yes;
}

void RecordingWindowOperator::ShowError(const QString& text) {
    calls_.push_back("error: " + text.toStdString());
}

std::vector<std::string> RecordingWindowOperator::Prefixed(const std::string& prefix) const {
    std::vector<std::string> texts;
    for (const auto& call : calls_)
        if (call.rfind(prefix, 0) == 0) texts.push_back(call.substr(prefix.size()));
    return texts;
}

std::vector<std::string> RecordingWindowOperator::Messages() const { return Prefixed("inform: "); }

std::vector<std::string> RecordingWindowOperator::Errors() const { return Prefixed("error: "); }

std::optional<QString> ScriptedFileDialogs::Next(const char* which) {
    shown_.emplace_back(which);
    if (hold_ms > 0) QTest::qWait(hold_ms);
    if (answers_.empty()) return std::nullopt;
    auto answer = answers_.front();
    answers_.pop_front();
    return answer;
}

TestWindow::TestWindow(std::unique_ptr<FileNameStore> store, bool run_create, Dialogs kind) {
    const std::filesystem::path root = dir.path().toStdString();
    std::filesystem::create_directories(root / "sys");
    std::filesystem::create_directories(root / "dev");
    auto recorder = std::make_unique<RecordingWindowOperator>();
    auto scripted = std::make_unique<ScriptedFileDialogs>();
    if (!store) store = std::make_unique<MemoryFileNameStore>();
    op = recorder.get();
    dialogs = kind == Dialogs::Scripted ? scripted.get() : nullptr;
    if (kind == Dialogs::Real) scripted.reset();
    names = store.get();
    form = std::make_unique<TMainForm>(
        MainFormParts{std::move(recorder),
                      std::move(scripted),
                      std::move(store),
                      {root / "sys", root / "dev"},
                      std::make_unique<journal::WorkJournal>(journal::ProgramKind::Window, JournalPath())});
    if (run_create) form->FormCreate();
    form->show();
    QApplication::setActiveWindow(form.get());
    if (!QTest::qWaitForWindowActive(form.get())) qWarning("the test window did not become active");
}

void TestWindow::Apply(const std::string& lines) { ParseParameters(form->Parameters(), Utf8ToCp1251(lines)); }

void TestWindow::Click(const char* name) {
    auto* widget = Find<QWidget>(name);
    QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
}

std::string Utf8(const std::string& cp1251) { return Cp1251ToUtf8(cp1251); }

}  // namespace nkq::ui::testing
