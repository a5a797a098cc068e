#include "PortConsole.h"

#include <unistd.h>

#include <algorithm>

#include "VisibleText.h"

namespace nkq::cli {

namespace {

// Redrawing the whole block on every packet of every port would flood a
// slow terminal; ten times a second is smooth enough.
constexpr std::chrono::milliseconds kRedrawInterval{100};

}  // namespace

PortConsole::PortConsole(std::FILE* out) : out_(out), out_is_terminal_(::isatty(::fileno(out)) == 1) {}

void PortConsole::Line(const std::string& port, const std::string& text) {
    const std::lock_guard lock(mutex_);
    EraseBlock();
    std::fprintf(out_, "%s: %s\n", Visible(port).c_str(), Visible(text).c_str());
    if (block_lines_ == 0 && !block_order_.empty() && out_is_terminal_) DrawBlock(Clock::now());
    std::fflush(out_);
}

void PortConsole::ProgressStart(const std::string& port, int total) {
    const std::lock_guard lock(mutex_);
    meters_[port].Start(total, Clock::now());
    if (std::find(block_order_.begin(), block_order_.end(), port) == block_order_.end())
        block_order_.push_back(port);
    ProgressChanged(port, true);
}

void PortConsole::ProgressSet(const std::string& port, int completed) {
    const std::lock_guard lock(mutex_);
    meters_[port].SetCompleted(completed);
    ProgressChanged(port, false);
}

void PortConsole::ProgressAdvance(const std::string& port) {
    const std::lock_guard lock(mutex_);
    meters_[port].Advance();
    ProgressChanged(port, false);
}

std::string PortConsole::ProgressLine(const std::string& port, Clock::time_point now) const {
    return port + ": " + meters_.at(port).Text(now);
}

void PortConsole::ProgressChanged(const std::string& port, bool force) {
    ProgressMeter& meter = meters_[port];
    if (!meter.Started()) return;
    const auto now = Clock::now();
    if (out_is_terminal_) {
        const bool finished = meter.Completed() >= meter.Total();
        if (!force && !finished && now - last_draw_ < kRedrawInterval) return;
        EraseBlock();
        DrawBlock(now);
    } else if (meter.LogLineDue(now)) {
        std::fprintf(out_, "%s\n", ProgressLine(port, now).c_str());
        meter.LogLineWritten(now);
    }
    std::fflush(out_);
}

// Moves to the first line of the block and clears from there down, so that
// what comes next takes its place.
void PortConsole::EraseBlock() {
    if (block_lines_ == 0) return;
    std::fprintf(out_, "\x1b[%dA\r\x1b[J", block_lines_);
    block_lines_ = 0;
}

void PortConsole::DrawBlock(Clock::time_point now) {
    for (const auto& port : block_order_) std::fprintf(out_, "%s\x1b[K\n", ProgressLine(port, now).c_str());
    block_lines_ = static_cast<int>(block_order_.size());
    last_draw_ = now;
}

}  // namespace nkq::cli
