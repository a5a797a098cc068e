#pragma once
// The seam between the serial port and what carries its bytes, private to
// this library: a local
// device (termios and poll() on POSIX, the Win32 communications calls on
// Windows) or a port on a serial device server, reached over TCP with
// RFC 2217 or as a raw stream. The port above is the same for all of them.
// Failures are raised as std::system_error carrying the platform's error
// number (errno, or GetLastError and WSAGetLastError on Windows); the port
// maps them to its message codes.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <system_error>

#include "serial/ComPortTypes.h"
#include "serial/PortNames.h"

namespace nkq {

// A line setting in the platform's terms.
struct SerialLine {
    int baud_rate = 115200;  // bit/s; POSIX rejects rates without a termios constant (EINVAL)
    int data_bits = 8;       // 5..8
    TStopBits stop_bits = TStopBits::sbOneStopBit;
    TParityBits parity = TParityBits::prNone;
    bool parity_check = false;
    bool cts_flow = false;  // output held back while CTS is inactive
    bool dsr_flow = false;
    bool xon_xoff_out = false;
    bool xon_xoff_in = false;
    unsigned char xon_char = 0x11;
    unsigned char xoff_char = 0x13;
    TDTRFlowControl dtr = TDTRFlowControl::dtrDisable;
    TRTSFlowControl rts = TRTSFlowControl::rtsDisable;
    bool discard_null = false;  // POSIX cannot drop received zero bytes
    int input_queue = 1024;     // the XON/XOFF limits are a quarter of it

    // One character on the line: start bit, data bits, parity bit, stop bits.
    std::chrono::nanoseconds CharacterTime() const {
        const int parity_bit_count = parity != TParityBits::prNone ? 1 : 0;
        const int stop_bit_count = stop_bits != TStopBits::sbOneStopBit ? 2 : 1;
        const int bits = 1 + data_bits + parity_bit_count + stop_bit_count;
        return std::chrono::nanoseconds(1'000'000'000LL * bits / (baud_rate > 0 ? baud_rate : 1));
    }
};

// The port's time-outs in milliseconds; -1 as the interval means none.
struct SerialTimeouts {
    int read_interval = -1;
    int read_total_multiplier = 0;
    int read_total_constant = 0;
    int write_total_multiplier = 100;
    int write_total_constant = 1000;

    // How long a read or write of `count` bytes may take in all.
    std::chrono::milliseconds ReadTotal(std::size_t count) const {
        return Total(read_total_multiplier, read_total_constant, count);
    }
    std::chrono::milliseconds WriteTotal(std::size_t count) const {
        return Total(write_total_multiplier, write_total_constant, count);
    }

    bool operator==(const SerialTimeouts&) const = default;

private:
    static std::chrono::milliseconds Total(int multiplier, int constant, std::size_t count) {
        const auto clamp = [](int value) { return static_cast<std::int64_t>(value < 0 ? 0 : value); };
        return std::chrono::milliseconds(clamp(multiplier) * static_cast<std::int64_t>(count) +
                                         clamp(constant));
    }
};

struct SerialWrite {
    std::size_t written = 0;  // bytes handed to the device
    // Received bytes seen waiting while the written bytes were still leaving
    // the port (0 when none were seen, or when the device cannot tell).
    int input_while_sending = 0;
};

// A device's failure with words of its own, such as the answer of a server
// that would not take the line settings; the port adds them to its message.
class SerialDeviceError : public std::system_error {
public:
    SerialDeviceError(int error_number, std::string detail);
    const std::string& Detail() const noexcept { return detail_; }

private:
    std::string detail_;
};

class SerialDevice {
public:
    virtual ~SerialDevice() = default;

    // Queue sizes recommended to the driver; ignored where it has no such notion.
    virtual void SetQueueSizes(int input, int output) = 0;
    virtual void ApplyLine(const SerialLine& line) = 0;
    virtual void ApplyTimeouts(const SerialTimeouts& timeouts) = 0;

    // The modem status lines (platform bits), or -1 where the device has none.
    virtual int ModemStatus() const = 0;
    virtual int BytesWaiting() = 0;
    // Blocks until received bytes are waiting or `timeout` has passed; true
    // when bytes are waiting (or the device hung up, which a read then tells).
    virtual bool WaitForInput(std::chrono::milliseconds timeout) = 0;
    // Bytes written but not yet sent on the line (0 when the device cannot tell).
    virtual int OutputQueued() const = 0;
    virtual void Flush(bool input, bool output) = 0;

    // The read rule: bytes already waiting are returned at once (at most
    // `count`); otherwise the read waits until `count` bytes have arrived
    // or the total read time-out has passed. Returns the bytes read; a
    // time-out is not an error.
    virtual std::size_t Read(unsigned char* buffer, std::size_t count) = 0;
    // The write rule: waits until the bytes are on the line or the total
    // write time-out has passed.
    virtual SerialWrite Write(const unsigned char* buffer, std::size_t count) = 0;
};

// Opens the device that `port` names, for reading and writing, for
// exclusive use: a network port for a network port's name, else the local
// device.
std::unique_ptr<SerialDevice> OpenSerialDevice(const std::string& port);

// True for the error numbers that mean the device itself has gone away (a
// network port's connection lost or not answering among them).
bool IsDeviceGoneError(int error_number);

}  // namespace nkq
