#pragma once
// The operator of the command line: every message on its own line on
// standard error, questions answered on standard input.
#include <chrono>
#include <cstdio>
#include <string>

#include "app/Operator.h"

namespace nkq {

class TerminalOperator : public Operator {
public:
    // `assume_yes` answers every question with yes without asking.
    explicit TerminalOperator(bool assume_yes = false, std::FILE* out = stderr);

    void InformOperator(const std::string& text) override;
    bool AskYesNo(const std::string& text, const std::string& caption) override;
    void SetCursorOverride(CursorOverride) override {}
    void ProcessPendingEvents() override {}
    void ShowProgress(bool visible) override;
    void SetProgressTotal(int total) override;
    void SetProgressCompleted(int completed) override;
    void AdvanceProgress() override;

private:
    using Clock = std::chrono::steady_clock;

    void DrawProgress();
    // On a terminal the line is redrawn in place; in a log a new line comes
    // only at a further tenth and at most once a second, and at the end.
    bool LogLineDue(Clock::time_point now) const;
    std::string ProgressText(Clock::time_point now) const;
    void EndProgressLine();

    bool assume_yes_;
    std::FILE* out_;
    bool out_is_terminal_;
    bool progress_visible_ = false;
    bool progress_drawn_ = false;
    int total_ = 0;
    int completed_ = 0;
    Clock::time_point started_;
    Clock::time_point last_line_;
    int last_tenth_ = 0;
};

}  // namespace nkq
