#include "TerminalOperator.h"

#include <unistd.h>

#include <iostream>

#include "serial/ModemCommands.h"

namespace nkq {

namespace {

std::string MinutesAndSeconds(long long seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld", seconds / 60, seconds % 60);
    return text;
}

}  // namespace

TerminalOperator::TerminalOperator(bool assume_yes, std::FILE* out)
    : assume_yes_(assume_yes), out_(out), out_is_terminal_(::isatty(::fileno(out)) == 1) {}

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
    started_ = last_line_ = Clock::now();
    last_tenth_ = 0;
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

std::string TerminalOperator::ProgressText(Clock::time_point now) const {
    const double seconds = std::chrono::duration<double>(now - started_).count();
    const double rate = seconds > 0 ? completed_ * double(modem::kBlockSize) / seconds : 0;
    std::string left = "--:--";
    if (rate > 0)
        left = MinutesAndSeconds(
            static_cast<long long>((total_ - completed_) * double(modem::kBlockSize) / rate + 0.5));
    char text[160];
    std::snprintf(text, sizeof text, "%3d%%  %d/%d blocks  %.1f KiB/s  %s left", completed_ * 100 / total_,
                  completed_, total_, rate / 1024, left.c_str());
    return text;
}

bool TerminalOperator::LogLineDue(Clock::time_point now) const {
    if (completed_ >= total_) return true;
    const int tenth = completed_ * 10 / total_;
    return tenth > last_tenth_ && now - last_line_ >= std::chrono::seconds(1);
}

void TerminalOperator::DrawProgress() {
    if (!progress_visible_ || total_ <= 0) return;
    const auto now = Clock::now();
    if (out_is_terminal_) {
        std::fprintf(out_, "\r%s\x1b[K", ProgressText(now).c_str());
        progress_drawn_ = true;
    } else if (completed_ > 0 && LogLineDue(now)) {
        std::fprintf(out_, "%s\n", ProgressText(now).c_str());
        last_line_ = now;
        last_tenth_ = completed_ * 10 / total_;
    }
    std::fflush(out_);
}

void TerminalOperator::EndProgressLine() {
    if (!progress_drawn_) return;
    std::fprintf(out_, "\n");
    progress_drawn_ = false;
}

}  // namespace nkq
