#pragma once
// An operator for tests: keeps every call in order and answers questions
// from a prepared list.
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "app/Operator.h"

namespace nkq::testing {

// "none", "hourglass" or "arrow", as the recorded calls name them.
const char* CursorName(CursorOverride cursor);

class RecordingOperator : public Operator {
public:
    void InformOperator(const std::string& text) override;
    bool AskYesNo(const std::string& text, const std::string& caption) override;
    void SetCursorOverride(CursorOverride cursor) override;
    void ProcessPendingEvents() override;
    void ShowProgress(bool visible) override;
    void SetProgressTotal(int total) override;
    void SetProgressCompleted(int completed) override;
    void AdvanceProgress() override;

    // Every call as one line, e.g. "inform: Тайм-аут", "cursor: hourglass".
    const std::vector<std::string>& Calls() const { return calls_; }
    // Only the texts shown with InformOperator, in order.
    std::vector<std::string> Messages() const;

    // Answers for the next AskYesNo calls; "no" when none is left.
    void QueueAnswer(bool yes) { answers_.push_back(yes); }

    bool progress_visible = false;
    int progress_total = 0;
    int progress_completed = 0;
    int pending_event_passes = 0;
    // Run at each pending-event pass with the passes so far, as a window's
    // event handlers would run there (e.g. after each firmware block).
    std::function<void(int passes)> on_events;

private:
    std::vector<std::string> calls_;
    std::deque<bool> answers_;
};

}  // namespace nkq::testing
