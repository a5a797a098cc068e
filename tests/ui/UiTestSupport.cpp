#include "UiTestSupport.h"

#include <QCheckBox>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOption>
#include <QWidget>
#include <filesystem>
#ifdef _WIN32
#include <windows.h>
#endif

#include "RecordingOperator.h"
#include "app/Cp1251.h"
#include "params/ParameterLines.h"

namespace nkq::ui::testing {

using nkq::testing::CursorName;

TPortListRoots NoPorts(const std::filesystem::path& root) {
#ifdef _WIN32
    (void)root;
    const TPortListRoots roots{TPortListRoots::Hive::CurrentUser, "Software\\NKQ tests\\no ports"};
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, roots.Key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ,
                        nullptr, &key, nullptr) == ERROR_SUCCESS)
        RegCloseKey(key);
    return roots;
#else
    std::filesystem::create_directories(root / "sys");
    std::filesystem::create_directories(root / "dev");
    return {root / "sys", root / "dev"};
#endif
}

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
    auto recorder = std::make_unique<RecordingWindowOperator>();
    auto scripted = std::make_unique<ScriptedFileDialogs>();
    if (!store) store = std::make_unique<MemoryFileNameStore>();
    op = recorder.get();
    dialogs = kind == Dialogs::Scripted ? scripted.get() : nullptr;
    if (kind == Dialogs::Real) scripted.reset();
    names = store.get();
    form = std::make_unique<TMainForm>(MainFormParts{
        std::move(recorder), std::move(scripted), std::move(store), NoPorts(dir.path().toStdString()),
        std::make_unique<journal::WorkJournal>(journal::ProgramKind::Window, JournalPath())});
    if (run_create) form->FormCreate();
    form->show();
    QApplication::setActiveWindow(form.get());
    if (!QTest::qWaitForWindowActive(form.get())) qWarning("the test window did not become active");
}

void TestWindow::Apply(const std::string& lines) { ParseParameters(form->Parameters(), Utf8ToCp1251(lines)); }

namespace {

// Where a mouse clicks a control: a check box or radio button takes clicks on
// its mark and caption only, which may end well before its right edge.
QPoint ClickPoint(const QWidget& widget) {
    const auto* button = qobject_cast<const QAbstractButton*>(&widget);
    const bool radio = qobject_cast<const QRadioButton*>(&widget) != nullptr;
    if (!button || !(radio || qobject_cast<const QCheckBox*>(&widget))) return widget.rect().center();
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    option.icon = button->icon();
    option.iconSize = button->iconSize();
    const auto area = radio ? QStyle::SE_RadioButtonClickRect : QStyle::SE_CheckBoxClickRect;
    return widget.style()->subElementRect(area, &option, &widget).center();
}

}  // namespace

void TestWindow::Click(const char* name) {
    auto* widget = Find<QWidget>(name);
    QTest::mouseClick(widget, Qt::LeftButton, {}, ClickPoint(*widget));
}

std::string Utf8(const std::string& cp1251) { return Cp1251ToUtf8(cp1251); }

void ChooseTestPlatform() {
#ifdef _WIN32
    // Under Wine no QT_ variable reaches the program. Qt Test writes its log
    // to the debugger unless told otherwise, and Wine has no console for it.
    qputenv("QT_QPA_PLATFORM", "windows");
    qputenv("QT_FORCE_STDERR_LOGGING", "1");
#else
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
}

}  // namespace nkq::ui::testing
