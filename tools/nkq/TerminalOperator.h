#pragma once
// The operator of the command line: every message on its own line on
// standard error, questions answered on standard input.
#include <cstdio>
#include <string>

#include "app/Operator.h"

namespace nkq {

class TerminalOperator : public Operator {
public:
    // `assume_yes` answers every question with yes without asking.
    explicit TerminalOperator(bool assume_yes = false, std::FILE* out = stderr)
        : assume_yes_(assume_yes), out_(out) {}

    void InformOperator(const std::string& text) override;
    bool AskYesNo(const std::string& text, const std::string& caption) override;
    void SetCursorOverride(CursorOverride) override {}
    void ProcessPendingEvents() override {}
    void ShowProgress(bool visible) override;
    void SetProgressTotal(int total) override;
    void SetProgressCompleted(int completed) override;
    void AdvanceProgress() override;

private:
    void DrawProgress();
    void EndProgressLine();

    bool assume_yes_;
    std::FILE* out_;
    bool progress_visible_ = false;
    bool progress_drawn_ = false;
    int total_ = 0;
    int completed_ = 0;
};

}  // namespace nkq
