#pragma once
// The operator of the desktop window: messages as modal dialogs, the
// application-wide cursor override, the pending-event pass and the window's
// progress bar. The dialogs themselves are virtual so that a test can answer
// them without a person; everything else stays real.
#include <QString>
#include <string>

#include "app/Operator.h"

namespace nkq::ui {

class TProgressBar;

class WindowOperator : public Operator {
public:
    WindowOperator() = default;
    WindowOperator(const WindowOperator&) = delete;
    WindowOperator& operator=(const WindowOperator&) = delete;

    void SetProgressBar(TProgressBar* bar) { progress_ = bar; }

    void InformOperator(const std::string& text) override;
    bool AskYesNo(const std::string& text, const std::string& caption) override;
    void SetCursorOverride(CursorOverride cursor) override;
    void ProcessPendingEvents() override;
    void ShowProgress(bool visible) override;
    void SetProgressTotal(int total) override;
    void SetProgressCompleted(int completed) override;
    void AdvanceProgress() override;

    // The application's error display box: the stop icon and one OK button.
    void ShowErrorBox(const QString& text) { ShowError(text); }

    CursorOverride CurrentCursor() const { return cursor_; }

protected:
    // Return when the operator has closed them.
    virtual void ShowInformation(const QString& text);
    virtual bool AskQuestion(const QString& text, const QString& caption);
    virtual void ShowError(const QString& text);

private:
    void ApplyCursor(CursorOverride cursor);

    TProgressBar* progress_ = nullptr;
    CursorOverride cursor_ = CursorOverride::None;
    unsigned cursor_changes_ = 0;
};

// The application title that captions the operator's dialogs.
QString ApplicationTitleText();

}  // namespace nkq::ui
