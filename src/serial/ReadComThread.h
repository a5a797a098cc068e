#pragma once
// Sends one command and collects a reply of unannounced length: the reply is
// complete when the line has been quiet for one short wait. The collecting
// runs on a worker thread while the caller blocks in WaitFor.
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "app/Failure.h"
#include "serial/ReplyEnd.h"

namespace nkq {

class TCustomComPort;

// A modem that never falls quiet would hold the caller (and the window) for
// ever; no real reply comes within a thousandth of this size. At the line's
// 11.5 kB/s the bound is reached within about 90 s.
inline constexpr std::size_t kMaxReplySize = 1024 * 1024;

class EReplyTooLong : public Exception {
public:
    EReplyTooLong();
};

class TReadComThread {
public:
    // `reply_end`: how the reply ends; by default as the port is set, which
    // is the quiet-line rule unless a front end chose otherwise.
    TReadComThread(TCustomComPort& port, std::chrono::milliseconds first_wait,
                   std::chrono::milliseconds next_wait, std::size_t max_reply = kMaxReplySize,
                   std::optional<ReplyEnd> reply_end = std::nullopt);
    ~TReadComThread();
    TReadComThread(const TReadComThread&) = delete;
    TReadComThread& operator=(const TReadComThread&) = delete;

    // Sends `command` followed by CR and starts collecting.
    void StartCommand(const std::string& command);

    // Blocks until the worker has ended. Returns 0 when anything arrived and
    // -1 when nothing did within the first wait. A failure inside the worker
    // (a port error, an over-long reply) is raised here, after the worker ended.
    int WaitFor();

    const std::string& FAnswer() const { return answer_; }

private:
    void Execute();
    void Collect();
    void CollectUntilOkLine();
    // From the first look on: steps of FNextWait until one brings nothing.
    void ReadUntilQuiet();
    // Appends what is waiting; the number of bytes read.
    int ReadWaiting();
    void ReadOneByte();
    int Append(int count);
    // Whether a complete line of the new bytes, from `from` on, begins "OK".
    bool OkLineEnded(std::size_t from);
    // Waits on the stop event; true when it was signalled rather than timed out.
    bool WaitForStopEvent(std::chrono::milliseconds wait);

    TCustomComPort& FComPort;
    std::string FCommand;
    std::string answer_;
    std::chrono::milliseconds FFirstWait;
    std::chrono::milliseconds FNextWait;
    std::size_t max_reply_;
    ReplyEnd reply_end_;
    std::size_t line_start_ = 0;  // where the line being received began
    int result_ = 0;
    std::exception_ptr failure_;

    // The stop event: nothing in the workstation signals it, so the waits
    // are plain timed waits, but it keeps the worker stoppable.
    std::mutex event_mutex_;
    std::condition_variable event_;
    bool event_set_ = false;

    std::thread thread_;
};

}  // namespace nkq
