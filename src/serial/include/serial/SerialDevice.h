#pragma once
// The POSIX side of the serial port: one open terminal device held for
// exclusive use, its termios line and modem lines, and bounded waits with
// poll(). A Windows backend would replace this file only. Failures are
// raised as std::system_error carrying errno; the port maps them to its
// message codes.
#include <chrono>
#include <cstddef>
#include <memory>
#include <string>

#include "serial/ComPortTypes.h"

namespace nkq {

class Deadline;
class LowLatencyMode;

// A line setting in the terms termios understands.
struct SerialLine {
    int BaudRate = 115200;  // bit/s; rates without a termios constant are rejected (EINVAL)
    int DataBits = 8;       // 5..8
    bool TwoStopBits = false;
    TParityBits Parity = TParityBits::prNone;
    bool ParityCheck = false;
    bool CtsFlow = false;   // CRTSCTS
    bool XonXoffOut = false;
    bool XonXoffIn = false;
    unsigned char XonChar = 0x11;
    unsigned char XoffChar = 0x13;
    bool Dtr = false;       // output asserted
    bool Rts = false;
};

// A name without "/" lives in /dev; a path is used as it is.
std::string DevicePathForPort(const std::string& port);

enum class WaitResult { Ready, HangUp, TimedOut };

class SerialDevice {
public:
    // Opens read/write, non-blocking, not as controlling terminal, takes
    // the device for exclusive use (TIOCEXCL, plus flock because root
    // ignores TIOCEXCL) and asks its driver for low latency.
    explicit SerialDevice(const std::string& path);
    ~SerialDevice();
    SerialDevice(const SerialDevice&) = delete;
    SerialDevice& operator=(const SerialDevice&) = delete;

    void ApplyLine(const SerialLine& line);
    // TIOCM_* bits, or -1 where the device has no modem lines.
    int ModemStatus() const;
    int BytesWaiting() const;
    void Flush(bool input, bool output);

    // One non-blocking transfer; 0 when the device has nothing / takes
    // nothing right now. A read that reports end of file means the device
    // has gone and raises EIO.
    std::size_t ReadSome(unsigned char* buffer, std::size_t count);
    std::size_t WriteSome(const unsigned char* buffer, std::size_t count);

    WaitResult WaitReadable(const Deadline& deadline) const;
    WaitResult WaitWritable(const Deadline& deadline) const;
    // Bounded stand-in for tcdrain: waits until the driver's output queue is
    // empty or the deadline passes. Returns how many received bytes were
    // seen waiting while output was still queued (0 when none were seen).
    int WaitOutputDrained(const Deadline& deadline) const;
    // Bytes written but not yet sent on the line (0 when the driver cannot tell).
    int OutputQueued() const;

private:
    WaitResult Wait(short events, const Deadline& deadline) const;

    int fd_ = -1;
    std::chrono::nanoseconds char_time_{86'806};  // one character on the line; 115200 8N1 until set
    std::unique_ptr<LowLatencyMode> low_latency_;  // undone before the device is released
};

// True for the errno values that mean the device itself has gone away.
bool IsDeviceGoneError(int error_number);

}  // namespace nkq
