#pragma once
// The operating system's side of the serial port: one open device held for
// exclusive use, its line, its queues and the read and write rules. Each
// platform has its own SerialDevice file (termios and poll() on POSIX, the
// Win32 communications calls on Windows); the port above is the same on
// both. Failures are raised as std::system_error carrying the platform's
// error number (errno, or GetLastError on Windows); the port maps them to
// its message codes.
#include <cerrno>
#include <chrono>
#include <cstddef>
#include <memory>
#include <string>

#include "serial/ComPortTypes.h"

namespace nkq {

// What an operation on a port that holds no device fails with: the
// system's invalid-handle error (ERROR_INVALID_HANDLE on Windows).
#ifdef _WIN32
inline constexpr int kInvalidHandleError = 6;
#else
inline constexpr int kInvalidHandleError = EBADF;
#endif

// A line setting in the platform's terms.
struct SerialLine {
    int BaudRate = 115200;  // bit/s; POSIX rejects rates without a termios constant (EINVAL)
    int DataBits = 8;       // 5..8
    TStopBits StopBits = TStopBits::sbOneStopBit;
    TParityBits Parity = TParityBits::prNone;
    bool ParityCheck = false;
    bool CtsFlow = false;  // output held back while CTS is inactive
    bool DsrFlow = false;
    bool XonXoffOut = false;
    bool XonXoffIn = false;
    unsigned char XonChar = 0x11;
    unsigned char XoffChar = 0x13;
    TDTRFlowControl Dtr = TDTRFlowControl::dtrDisable;
    TRTSFlowControl Rts = TRTSFlowControl::rtsDisable;
    bool DiscardNull = false;  // POSIX cannot drop received zero bytes
    int InputQueue = 1024;     // the XON/XOFF limits are a quarter of it
};

// The port's time-outs in milliseconds; -1 as the interval means none.
struct SerialTimeouts {
    int ReadInterval = -1;
    int ReadTotalMultiplier = 0;
    int ReadTotalConstant = 0;
    int WriteTotalMultiplier = 100;
    int WriteTotalConstant = 1000;

    bool operator==(const SerialTimeouts&) const = default;
};

struct SerialWrite {
    std::size_t written = 0;  // bytes handed to the device
    // Received bytes seen waiting while the written bytes were still leaving
    // the port (0 when none were seen, or when the device cannot tell).
    int input_while_sending = 0;
};

// The device the system opens for a port name: on POSIX a name without "/"
// lives in /dev and a path is used as it is; on Windows "COM7" becomes
// "\\.\COM7" and a name that already starts with "\\.\" stays as it is.
std::string DevicePathForPort(const std::string& port);

class SerialDevice {
public:
    // Opens the device of `port` for reading and writing, for exclusive use.
    explicit SerialDevice(const std::string& port);
    ~SerialDevice();
    SerialDevice(const SerialDevice&) = delete;
    SerialDevice& operator=(const SerialDevice&) = delete;

    // Queue sizes recommended to the driver; ignored where it has no such notion.
    void SetQueueSizes(int input, int output);
    void ApplyLine(const SerialLine& line);
    void ApplyTimeouts(const SerialTimeouts& timeouts);

    // The modem status lines (platform bits), or -1 where the device has none.
    int ModemStatus() const;
    int BytesWaiting() const;
    // Blocks until received bytes are waiting or `timeout` has passed; true
    // when bytes are waiting (or the device hung up, which a read then tells).
    bool WaitForInput(std::chrono::milliseconds timeout) const;
    // Bytes written but not yet sent on the line (0 when the driver cannot tell).
    int OutputQueued() const;
    void Flush(bool input, bool output);

    // The read rule: bytes already waiting are returned at once (at most
    // `count`); otherwise the read waits until `count` bytes have arrived
    // or the total read time-out has passed. Returns the bytes read; a
    // time-out is not an error.
    std::size_t Read(unsigned char* buffer, std::size_t count);
    // The write rule: waits until the bytes are on the line or the total
    // write time-out has passed.
    SerialWrite Write(const unsigned char* buffer, std::size_t count);

private:
    struct Handle;
    std::unique_ptr<Handle> handle_;
};

// True for the error numbers that mean the device itself has gone away.
bool IsDeviceGoneError(int error_number);

}  // namespace nkq
