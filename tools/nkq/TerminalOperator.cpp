#include "TerminalOperator.h"

#include <unistd.h>

#include <iostream>

#include "StandardOutput.h"
#include "VisibleText.h"

namespace nkq::cli {

TerminalOperator::TerminalOperator(bool assume_yes, std::FILE* out)
    : assume_yes_(assume_yes), out_(out), out_is_terminal_(::isatty(::fileno(out)) == 1) {}

void TerminalOperator::InformOperator(const std::string& text) {
    EndProgressLine();
    std::fprintf(out_, "%s\n", Visible(text).c_str());
    std::fflush(out_);
}

void TerminalOperator::Output(const std::string& text) { WriteStandardOutput(VisibleKeepingLineEnds(text)); }

bool TerminalOperator::AskYesNo(const std::string& text, const std::string& caption) {
    EndProgressLine();
    if (assume_yes_) {
        std::fprintf(out_, "%s: %s yes\n", caption.c_str(), Visible(text).c_str());
        return true;
    }
    std::fprintf(out_, "%s: %s [y/N] ", caption.c_str(), Visible(text).c_str());
    std::fflush(out_);
    std::string answer;
    if (!std::getline(std::cin, answer)) return false;
    return answer == "y" || answer == "Y" || answer == "yes" || answer == "да" || answer == "д";
}

void TerminalOperator::ShowProgress(bool visible) {
    if (!visible) EndProgressLine();
    progress_visible_ = visible;
}

void TerminalOperator::SetProgressTotal(int total) {
    meter_.Start(total, ProgressMeter::Clock::now());
    DrawProgress();
}

void TerminalOperator::SetProgressCompleted(int completed) {
    meter_.SetCompleted(completed);
    DrawProgress();
}

void TerminalOperator::AdvanceProgress() {
    meter_.Advance();
    DrawProgress();
}

void TerminalOperator::DrawProgress() {
    if (!progress_visible_ || !meter_.Started()) return;
    const auto now = ProgressMeter::Clock::now();
    if (out_is_terminal_) {
        std::fprintf(out_, "\r%s\x1b[K", meter_.Text(now).c_str());
        progress_drawn_ = true;
    } else if (meter_.LogLineDue(now)) {
        std::fprintf(out_, "%s\n", meter_.Text(now).c_str());
        meter_.LogLineWritten(now);
    }
    std::fflush(out_);
}

void TerminalOperator::EndProgressLine() {
    if (!progress_drawn_) return;
    std::fprintf(out_, "\n");
    progress_drawn_ = false;
}

}  // namespace nkq::cli
