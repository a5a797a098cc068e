#include "operations/StatusPollCycle.h"

#include "operations/ServerStatus.h"
#include "protocol/ModemCommands.h"
#include "serial/CommandExchange.h"

namespace nkq {

StatusPollCycle::StatusPollCycle(TCustomComPort& port, Operator& op, TextListener on_text)
    : port_(port), op_(op), on_text_(std::move(on_text)), text_(kStatusInitialText) {}

void StatusPollCycle::Opened() {
    closed_ = false;
    timer_running_ = true;
}

void StatusPollCycle::Closed() {
    closed_ = true;
    timer_running_ = false;
}

void StatusPollCycle::TimerFired() {
    // A tick queued before the timer stopped must not poll.
    if (!timer_running_ || closed_) return;
    timer_running_ = false;
    const bool failed_before = poll_failed_;
    poll_failed_ = true;  // stays so when this poll raises
    QueryState(std::string(modem::kTcp));
    SetText(ShowConnections(answer_));
    poll_failed_ = failed_before;
    timer_running_ = !closed_;
}

bool StatusPollCycle::QueryState(const std::string& command) {
    answer_.clear();
    answer_ = ExchangeCommand(port_, op_, command);
    return true;
}

std::chrono::milliseconds StatusPollCycle::Interval() const { return modem::kStatusPollInterval; }

void StatusPollCycle::SetText(std::string text) {
    text_ = std::move(text);
    if (on_text_) on_text_(text_);
}

}  // namespace nkq
