#pragma once
// The firmware progress of one port as text: percent, blocks, speed and time
// left, and when a log (no terminal) should get its next line.
#include <chrono>
#include <string>

namespace nkq {

class ProgressMeter {
public:
    using Clock = std::chrono::steady_clock;

    // A new transfer of `total` blocks starts now.
    void Start(int total, Clock::time_point now);
    void SetCompleted(int completed);
    void Advance() { SetCompleted(completed_ + 1); }

    int Total() const { return total_; }
    int Completed() const { return completed_; }
    bool Started() const { return total_ > 0; }

    std::string Text(Clock::time_point now) const;
    // In a log a new line comes only at a further tenth and at most once a
    // second, and at the end.
    bool LogLineDue(Clock::time_point now) const;
    void LogLineWritten(Clock::time_point now);

private:
    int total_ = 0;
    int completed_ = 0;
    Clock::time_point started_;
    Clock::time_point last_line_;
    int last_tenth_ = 0;
};

}  // namespace nkq
