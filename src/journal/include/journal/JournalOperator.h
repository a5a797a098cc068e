#pragma once
// Stands between an operation and the real operator: passes every call on and
// tells the recorder each message shown and each question asked, so the
// journal keeps them in the order the operator saw them.
#include <string>

#include "app/Operator.h"

namespace nkq::journal {

class OperationRecorder;

class JournalOperator : public Operator {
public:
    JournalOperator(Operator& shown, OperationRecorder& recorder) : shown_(shown), recorder_(recorder) {}

    void InformOperator(const std::string& text) override;
    bool AskYesNo(const std::string& text, const std::string& caption) override;
    void SetCursorOverride(CursorOverride cursor) override { shown_.SetCursorOverride(cursor); }
    void ProcessPendingEvents() override { shown_.ProcessPendingEvents(); }
    void ShowProgress(bool visible) override { shown_.ShowProgress(visible); }
    void SetProgressTotal(int total) override { shown_.SetProgressTotal(total); }
    void SetProgressCompleted(int completed) override { shown_.SetProgressCompleted(completed); }
    void AdvanceProgress() override { shown_.AdvanceProgress(); }

private:
    Operator& shown_;
    OperationRecorder& recorder_;
};

}  // namespace nkq::journal
