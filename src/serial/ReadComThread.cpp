#include "serial/ReadComThread.h"

#include <system_error>

#include "app/LibraryText.h"
#include "serial/ComPort.h"
#include "protocol/ModemCommands.h"

namespace nkq {

EReplyTooLong::EReplyTooLong() : Exception("EReplyTooLong", LibraryText("Reply too long")) {}

TReadComThread::TReadComThread(TCustomComPort& port, std::chrono::milliseconds first_wait,
                               std::chrono::milliseconds next_wait, std::size_t max_reply)
    : FComPort(port), FFirstWait(first_wait), FNextWait(next_wait), max_reply_(max_reply) {}

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
    FComPort.Purge(true, true);
    if (!FCommand.empty()) FComPort.Write(FCommand.data(), static_cast<int>(FCommand.size()));

    auto wait = FFirstWait;
    bool first_pass = true;
    for (;;) {
        const bool signalled = WaitForStopEvent(wait);
        const int waiting = FComPort.BytesWaiting();
        if (!signalled && waiting == 0) break;
        if (waiting > 0) {
            std::string chunk;
            FComPort.ReadText(chunk, waiting);
            answer_ += chunk;
            if (answer_.size() > max_reply_) throw EReplyTooLong();
        }
        first_pass = false;
        wait = FNextWait;
    }
    if (first_pass) result_ = -1;
}

}  // namespace nkq
