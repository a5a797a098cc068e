#pragma once
// An operator that passes everything on but one message, which it holds
// until the caller has checked what the message claims: the read's success
// is told only once nkq knows the reply held parameters.
#include <string>

#include "CommandOperator.h"

namespace nkq::cli {

class HeldMessage : public CommandOperator {
public:
    HeldMessage(CommandOperator& inner, std::string held) : inner_(inner), held_(std::move(held)) {}

    // Tells the held message, if it came.
    void Release() {
        if (came_) inner_.InformOperator(held_);
        came_ = false;
    }

    void InformOperator(const std::string& text) override {
        if (text == held_) {
            came_ = true;
        } else {
            inner_.InformOperator(text);
        }
    }
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

private:
    CommandOperator& inner_;
    const std::string held_;
    bool came_ = false;
};

}  // namespace nkq::cli
