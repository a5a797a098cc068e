#include "ReadComThread.h"

#include <algorithm>
#include <string_view>
#include <system_error>

#include "app/LibraryText.h"
#include "protocol/ModemCommands.h"
#include "serial/ComPort.h"

namespace nkq {

EReplyTooLong::EReplyTooLong() : Exception("EReplyTooLong", LibraryText("Reply too long")) {}

TReadComThread::TReadComThread(TCustomComPort& port, std::chrono::milliseconds first_wait,
                               std::chrono::milliseconds next_wait, std::size_t max_reply,
                               std::optional<ReplyEnd> reply_end)
    : FComPort(port),
      FFirstWait(first_wait),
      FNextWait(next_wait),
      max_reply_(max_reply),
      reply_end_(reply_end.value_or(port.GetReplyEnd())) {}

TReadComThread::~TReadComThread() {
    if (thread_.joinable()) {
        {
            std::lock_guard lock(event_mutex_);
            event_set_ = true;
        }
        event_.notify_all();
        thread_.join();
    }
}

void TReadComThread::StartCommand(const std::string& command) {
    FCommand = command + modem::kCR;
    try {
        thread_ = std::thread([this] { Execute(); });
    } catch (const std::system_error& e) {
        throw ThreadCreationError(e.code().value());
    }
}

int TReadComThread::WaitFor() {
    if (thread_.joinable()) thread_.join();
    if (failure_) std::rethrow_exception(failure_);
    return result_;
}

bool TReadComThread::WaitForStopEvent(std::chrono::milliseconds wait) {
    std::unique_lock lock(event_mutex_);
    const bool signalled = event_.wait_for(lock, wait, [this] { return event_set_; });
    event_set_ = false;
    return signalled;
}

void TReadComThread::Execute() {
    try {
        Collect();
    } catch (...) {
        // Kept for WaitFor: the caller must not take a partial reply for a whole one.
        failure_ = std::current_exception();
    }
}

void TReadComThread::Collect() {
    result_ = 0;
    answer_.clear();
    line_start_ = 0;
    FComPort.Purge(true, true);
    if (!FCommand.empty()) FComPort.Write(FCommand.data(), static_cast<int>(FCommand.size()));
    if (reply_end_ == ReplyEnd::AtOkLine) return CollectUntilOkLine();

    auto wait = FFirstWait;
    bool first_pass = true;
    for (;;) {
        const bool signalled = WaitForStopEvent(wait);
        const int waiting = FComPort.BytesWaiting();
        if (!signalled && waiting == 0) break;
        if (waiting > 0) Append(waiting);
        first_pass = false;
        wait = FNextWait;
    }
    if (first_pass) result_ = -1;
}

// Blocks on the port, never polls: each wait ends when input arrives, when
// the quiet step after an "OK" line has passed, or at the first look.
void TReadComThread::CollectUntilOkLine() {
    using Clock = std::chrono::steady_clock;
    const auto first_look = Clock::now() + FFirstWait;
    std::optional<Clock::time_point> quiet_until;  // set once an "OK" line has ended
    bool arrived = false;
    for (auto now = Clock::now(); now < first_look; now = Clock::now()) {
        const auto until = quiet_until ? std::min(*quiet_until, first_look) : first_look;
        if (!FComPort.WaitForInput(std::chrono::ceil<std::chrono::milliseconds>(until - now))) {
            if (quiet_until && Clock::now() >= *quiet_until) return;
            continue;
        }
        const std::size_t from = answer_.size();
        // Woken with nothing waiting: the device hung up, which a read reports.
        if (ReadWaiting() == 0) ReadOneByte();
        arrived = true;
        // Input after the "OK" line restarts its quiet step.
        if (quiet_until || OkLineEnded(from)) quiet_until = Clock::now() + FNextWait;
    }
    // No "OK" line by the first look: the quiet-line rule from there on, as
    // if nothing had been looked at before.
    if (ReadWaiting() == 0 && !arrived) {
        result_ = -1;
        return;
    }
    ReadUntilQuiet();
}

void TReadComThread::ReadUntilQuiet() {
    for (;;) {
        const bool signalled = WaitForStopEvent(FNextWait);
        if (!signalled && FComPort.BytesWaiting() == 0) return;
        ReadWaiting();
    }
}

int TReadComThread::ReadWaiting() {
    const int waiting = FComPort.BytesWaiting();
    return waiting > 0 ? Append(waiting) : 0;
}

void TReadComThread::ReadOneByte() { Append(1); }

int TReadComThread::Append(int count) {
    std::string chunk;
    FComPort.ReadText(chunk, count);
    answer_ += chunk;
    if (answer_.size() > max_reply_) throw EReplyTooLong();
    return static_cast<int>(chunk.size());
}

bool TReadComThread::OkLineEnded(std::size_t from) {
    bool ended = false;
    for (std::size_t i = from; i < answer_.size(); ++i) {
        if (answer_[i] != '\r' && answer_[i] != '\n') continue;
        ended =
            ended ||
            std::string_view(answer_).substr(line_start_, i - line_start_).starts_with(modem::kReplyEndLine);
        line_start_ = i + 1;
    }
    return ended;
}

}  // namespace nkq
