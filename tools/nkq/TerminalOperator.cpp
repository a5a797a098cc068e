#include "TerminalOperator.h"

#include <iostream>

namespace nkq {

void TerminalOperator::InformOperator(const std::string& text) {
    EndProgressLine();
    std::fprintf(out_, "%s\n", text.c_str());
    std::fflush(out_);
}

bool TerminalOperator::AskYesNo(const std::string& text, const std::string& caption) {
    EndProgressLine();
    if (assume_yes_) {
        std::fprintf(out_, "%s: %s yes\n", caption.c_str(), text.c_str());
        return true;
    }
    std::fprintf(out_, "%s: %s [y/N] ", caption.c_str(), text.c_str());
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
    total_ = total;
    completed_ = 0;
    DrawProgress();
}

void TerminalOperator::SetProgressCompleted(int completed) {
    completed_ = total_ > 0 && completed > total_ ? total_ : completed;
    DrawProgress();
}

void TerminalOperator::AdvanceProgress() {
    ++completed_;
    DrawProgress();
}

void TerminalOperator::DrawProgress() {
    if (!progress_visible_ || total_ <= 0) return;
    std::fprintf(out_, "\r%d/%d blocks (%d%%)", completed_, total_, completed_ * 100 / total_);
    std::fflush(out_);
    progress_drawn_ = true;
}

void TerminalOperator::EndProgressLine() {
    if (!progress_drawn_) return;
    std::fprintf(out_, "\n");
    progress_drawn_ = false;
}

}  // namespace nkq
