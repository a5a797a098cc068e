#include "PortOperator.h"

#include "protocol/TextLines.h"

namespace nkq::cli {

PortOperator::PortOperator(PortConsole& console, std::string port, bool answer)
    : console_(console), port_(std::move(port)), answer_(answer) {}

void PortOperator::InformOperator(const std::string& text) {
    messages_.push_back(text);
    console_.Line(port_, text);
}

bool PortOperator::AskYesNo(const std::string& text, const std::string& caption) {
    console_.Line(port_, caption + ": " + text + (answer_ ? " yes" : " no"));
    return answer_;
}

void PortOperator::SetProgressTotal(int total) { console_.ProgressStart(port_, total); }

void PortOperator::SetProgressCompleted(int completed) { console_.ProgressSet(port_, completed); }

void PortOperator::AdvanceProgress() { console_.ProgressAdvance(port_); }

void PortOperator::Print(const std::string& text) { console_.Line(port_, text); }

void PortOperator::Output(const std::string& text) {
    for (const auto& line : SplitLines(text)) console_.Line(port_, line);
}

}  // namespace nkq::cli
