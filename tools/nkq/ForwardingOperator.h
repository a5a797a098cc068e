#pragma once
// An operator that passes every call on to another; the operators that
// change one thing on the way (hold a message, record one) build on it.
#include <string>

#include "CommandOperator.h"

namespace nkq::cli {

class ForwardingOperator : public CommandOperator {
public:
    explicit ForwardingOperator(CommandOperator& inner) : inner_(inner) {}

    void InformOperator(const std::string& text) override { inner_.InformOperator(text); }
    bool AskYesNo(const std::string& text, const std::string& caption) override {
        return inner_.AskYesNo(text, caption);
    }
    void SetCursorOverride(CursorOverride cursor) override { inner_.SetCursorOverride(cursor); }
    void ProcessPendingEvents() override { inner_.ProcessPendingEvents(); }
    void ShowProgress(bool visible) override { inner_.ShowProgress(visible); }
    void SetProgressTotal(int total) override { inner_.SetProgressTotal(total); }
    void SetProgressCompleted(int completed) override { inner_.SetProgressCompleted(completed); }
    void AdvanceProgress() override { inner_.AdvanceProgress(); }
    void ReportFailure(const std::string& text) override { inner_.ReportFailure(text); }
    void Print(const std::string& text) override { inner_.Print(text); }
    void Output(const std::string& text) override { inner_.Output(text); }
    journal::OperationRecorder* Record() override { return inner_.Record(); }

protected:
    CommandOperator& Inner() { return inner_; }

private:
    CommandOperator& inner_;
};

}  // namespace nkq::cli
