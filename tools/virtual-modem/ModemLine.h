#pragma once
// The modem's end of the virtual line in time: the pseudo-terminal's master
// side, the trace of every byte that crosses it, pauses that a stop request
// cuts short, and the pace of a real 115200 bit/s line when asked for.
// Used by the modem's thread alone, except RequestStop() and the trace.
#include <atomic>
#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

#include "ModemTrace.h"
#include "PseudoTerminal.h"

namespace nkq {

class ModemLine {
public:
    // Throws when the pseudo-terminal, the link or the trace file cannot be made.
    ModemLine(const std::string& link_path, const std::string& trace_path);
    ~ModemLine();
    ModemLine(const ModemLine&) = delete;
    ModemLine& operator=(const ModemLine&) = delete;

    const std::string& DevicePath() const { return pty_.SlavePath(); }
    // The link made at start; stays known after a hang-up has removed it.
    const std::string& LinkPath() const { return link_path_; }
    const ModemTrace& Trace() const { return trace_; }
    bool Open() const { return pty_.MasterOpen(); }

    enum class Event { Input, NoClient, Stopped, Nothing };
    // Waits up to `timeout_ms` (-1: without end) for input, for the client
    // to go away or for a stop request.
    Event Wait(int timeout_ms);
    // Reads what is waiting into `bytes` and traces it; false when the line
    // failed (no client has it open).
    bool Read(std::string& bytes);

    // Waits the whole duration unless a stop is requested; false then.
    bool Pause(std::chrono::nanoseconds duration);
    // At real speed, bytes handed over at once still take the line's time to
    // arrive: waits until the last of `count` more bytes is in.
    void AwaitDelivery(std::size_t count);
    // Sends and traces `bytes`, at the line's pace when `real_speed`.
    void Send(std::string_view bytes, bool real_speed);
    // The slave side sees end of input and the link goes.
    void HangUp() { pty_.CloseMaster(); }

    // From any thread: ends Wait() and every Pause() from now on.
    void RequestStop();
    bool Stopping() const { return stopping_; }

private:
    std::size_t WriteAll(std::string_view bytes);

    PseudoTerminal pty_;
    const std::string link_path_;
    ModemTrace trace_;
    int wake_read_fd_ = -1;
    int wake_write_fd_ = -1;
    std::atomic<bool> stopping_{false};
    std::chrono::steady_clock::time_point input_done_;  // when paced input has all arrived
};

}  // namespace nkq
