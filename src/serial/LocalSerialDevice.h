#pragma once
// A serial device of this machine: one file per platform (termios and
// poll() on POSIX, the Win32 communications calls on Windows).
#include <memory>
#include <string>

#include "SerialDevice.h"

namespace nkq {

class LocalSerialDevice final : public SerialDevice {
public:
    // Opens the device of `port` for reading and writing, for exclusive use.
    explicit LocalSerialDevice(const std::string& port);
    ~LocalSerialDevice() override;
    LocalSerialDevice(const LocalSerialDevice&) = delete;
    LocalSerialDevice& operator=(const LocalSerialDevice&) = delete;

    void SetQueueSizes(int input, int output) override;
    void ApplyLine(const SerialLine& line) override;
    void ApplyTimeouts(const SerialTimeouts& timeouts) override;
    int ModemStatus() const override;
    int BytesWaiting() override;
    bool WaitForInput(std::chrono::milliseconds timeout) override;
    int OutputQueued() const override;
    void Flush(bool input, bool output) override;
    std::size_t Read(unsigned char* buffer, std::size_t count) override;
    SerialWrite Write(const unsigned char* buffer, std::size_t count) override;

private:
    struct Handle;
    std::unique_ptr<Handle> handle_;
};

// True for the error numbers with which a local device tells it has gone away.
bool IsLocalDeviceGoneError(int error_number);

}  // namespace nkq
