#pragma once
// An operator that says yes and shows nothing, so that a benchmark measures
// the transfer, not a front end.
#include <string>
#include <vector>

#include "app/Operator.h"

namespace nkq::bench {

class BenchOperator : public Operator {
public:
    void InformOperator(const std::string& text) override { messages.push_back(text); }
    bool AskYesNo(const std::string&, const std::string&) override { return true; }
    void SetCursorOverride(CursorOverride) override {}
    void ProcessPendingEvents() override {}
    void ShowProgress(bool) override {}
    void SetProgressTotal(int) override {}
    void SetProgressCompleted(int) override {}
    void AdvanceProgress() override {}

    std::vector<std::string> messages;
};

}  // namespace nkq::bench
