#pragma once
// Standard error shared by the threads of several ports: every message is a
// whole line "PORT: text" written under one lock, so lines of different
// ports never mix. The firmware progress has one line per port: on a
// terminal a block of lines redrawn in place below the messages, in a log a
// line per port at its own pace.
#include <cstdio>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "ProgressMeter.h"

namespace nkq::cli {

class PortConsole {
public:
    explicit PortConsole(std::FILE* out = stderr);
    PortConsole(const PortConsole&) = delete;
    PortConsole& operator=(const PortConsole&) = delete;

    void Line(const std::string& port, const std::string& text);

    void ProgressStart(const std::string& port, int total);
    void ProgressSet(const std::string& port, int completed);
    void ProgressAdvance(const std::string& port);

private:
    using Clock = ProgressMeter::Clock;

    std::string ProgressLine(const std::string& port, Clock::time_point now) const;
    void ProgressChanged(const std::string& port, bool force);
    void EraseBlock();
    void DrawBlock(Clock::time_point now);

    std::mutex mutex_;
    std::FILE* out_;
    const bool out_is_terminal_;
    std::map<std::string, ProgressMeter> meters_;
    std::vector<std::string> block_order_;  // ports in the order their progress started
    int block_lines_ = 0;                   // lines of the block now on the terminal
    Clock::time_point last_draw_;
};

}  // namespace nkq::cli
