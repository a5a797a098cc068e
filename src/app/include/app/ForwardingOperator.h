#pragma once
// An operator that passes every call on to another; the operators that
// change one thing on the way (record a message, hold one back) build on it.
#include <string>

#include "app/Operator.h"

namespace nkq {

class ForwardingOperator : public Operator {
public:
    explicit ForwardingOperator(Operator& inner) : inner_(inner) {}

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

protected:
    Operator& Inner() { return inner_; }

private:
    Operator& inner_;
};

}  // namespace nkq
