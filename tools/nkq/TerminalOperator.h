#pragma once
// The operator of the command line: every message on its own line on
// standard error, questions answered on standard input.
#include <cstdio>
#include <string>

#include "CommandOperator.h"
#include "ProgressMeter.h"

namespace nkq::cli {

class TerminalOperator : public CommandOperator {
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
    void Print(const std::string& text) override { InformOperator(text); }
    void Output(const std::string& text) override;

private:
    void DrawProgress();
    void EndProgressLine();

    bool assume_yes_;
    std::FILE* out_;
    bool out_is_terminal_;
    bool progress_visible_ = false;
    bool progress_drawn_ = false;
    // On a terminal the line is redrawn in place; in a log it follows the
    // meter's pace.
    ProgressMeter meter_;
};

}  // namespace nkq::cli
