#include "ProgressMeter.h"

#include <cstdio>

#include "protocol/ModemCommands.h"

namespace nkq {

namespace {

std::string MinutesAndSeconds(long long seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld", seconds / 60, seconds % 60);
    return text;
}

}  // namespace

void ProgressMeter::Start(int total, Clock::time_point now) {
    total_ = total;
    completed_ = 0;
    started_ = last_line_ = now;
    last_tenth_ = 0;
}

void ProgressMeter::SetCompleted(int completed) {
    completed_ = total_ > 0 && completed > total_ ? total_ : completed;
}

std::string ProgressMeter::Text(Clock::time_point now) const {
    const double seconds = std::chrono::duration<double>(now - started_).count();
    const double rate = seconds > 0 ? completed_ * double(modem::kBlockSize) / seconds : 0;
    std::string left = "--:--";
    if (rate > 0)
        left = MinutesAndSeconds(
            static_cast<long long>((total_ - completed_) * double(modem::kBlockSize) / rate + 0.5));
    char text[160];
    std::snprintf(text, sizeof text, "%3d%%  %d/%d blocks  %.1f KiB/s  %s left",
                  total_ > 0 ? completed_ * 100 / total_ : 0, completed_, total_, rate / 1024, left.c_str());
    return text;
}

bool ProgressMeter::LogLineDue(Clock::time_point now) const {
    if (completed_ <= 0) return false;
    if (completed_ >= total_) return true;
    const int tenth = completed_ * 10 / total_;
    return tenth > last_tenth_ && now - last_line_ >= std::chrono::seconds(1);
}

void ProgressMeter::LogLineWritten(Clock::time_point now) {
    last_line_ = now;
    last_tenth_ = total_ > 0 ? completed_ * 10 / total_ : 0;
}

}  // namespace nkq
