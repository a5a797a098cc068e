// The serial device on Windows: a plain (non-overlapped) handle, so each
// read and write blocks in the driver for exactly as long as the
// communications time-outs say; the line goes into a DCB. Errors carry
// GetLastError.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <system_error>

#include "LocalSerialDevice.h"
#include "serial/PortNames.h"

namespace nkq {

namespace {

constexpr const char* kDevicePrefix = "\\\\.\\";

[[noreturn]] void ThrowLastError() {
    throw std::system_error(static_cast<int>(GetLastError()), std::system_category());
}

void Check(BOOL ok) {
    if (!ok) ThrowLastError();
}

DWORD Unsigned(int value) { return value < 0 ? 0 : static_cast<DWORD>(value); }

// Only the fields the line names are set; the rest stay zero.
DCB LineDcb(const SerialLine& line) {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    dcb.BaudRate = static_cast<DWORD>(line.baud_rate);
    dcb.fBinary = TRUE;
    dcb.fParity = line.parity_check;
    dcb.fOutxCtsFlow = line.cts_flow;
    dcb.fOutxDsrFlow = line.dsr_flow;
    dcb.fDtrControl = static_cast<DWORD>(line.dtr);  // DTR_CONTROL_DISABLE, _ENABLE, _HANDSHAKE
    dcb.fOutX = line.xon_xoff_out;
    dcb.fInX = line.xon_xoff_in;
    dcb.fNull = line.discard_null;
    dcb.fRtsControl = static_cast<DWORD>(line.rts);  // RTS_CONTROL_DISABLE, _ENABLE, _HANDSHAKE, _TOGGLE
    dcb.XonLim = static_cast<WORD>(std::max(line.input_queue, 0) / 4);
    dcb.XoffLim = dcb.XonLim;
    dcb.ByteSize = static_cast<BYTE>(line.data_bits);
    dcb.Parity = static_cast<BYTE>(line.parity);       // NOPARITY .. SPACEPARITY
    dcb.StopBits = static_cast<BYTE>(line.stop_bits);  // ONESTOPBIT, ONE5STOPBITS, TWOSTOPBITS
    dcb.XonChar = static_cast<char>(line.xon_char);
    dcb.XoffChar = static_cast<char>(line.xoff_char);
    return dcb;
}

// What the modem lines of a device without them (a pseudo-terminal behind
// Wine, some virtual ports) report; such a device must stay usable.
bool IsUnsupported(DWORD error) {
    return error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION ||
           error == ERROR_INVALID_PARAMETER;
}

}  // namespace

struct LocalSerialDevice::Handle {
    HANDLE device = INVALID_HANDLE_VALUE;
    COMMTIMEOUTS timeouts{};

    std::chrono::milliseconds write_total(std::size_t count) const {
        return std::chrono::milliseconds(std::uint64_t{timeouts.WriteTotalTimeoutMultiplier} * count +
                                         timeouts.WriteTotalTimeoutConstant);
    }

    COMSTAT Status() const {
        DWORD errors = 0;
        COMSTAT status{};
        Check(ClearCommError(device, &errors, &status));
        return status;
    }
};

bool IsLocalDeviceGoneError(int error_number) {
    switch (error_number) {
        // What the drivers of a USB adapter answer once it is pulled out.
        case ERROR_ACCESS_DENIED:
        case ERROR_BAD_COMMAND:
        case ERROR_GEN_FAILURE:
        case ERROR_DEV_NOT_EXIST:
        case ERROR_DEVICE_NOT_CONNECTED:
        case ERROR_DEVICE_REMOVED:
            return true;
        default:
            return false;
    }
}

std::string DevicePathForPort(const std::string& port) {
    if (port.rfind(kDevicePrefix, 0) == 0 || IsNetworkPort(port)) return port;
    return kDevicePrefix + port;
}

// Not shared with any other program, and without FILE_FLAG_OVERLAPPED.
LocalSerialDevice::LocalSerialDevice(const std::string& port) : handle_(std::make_unique<Handle>()) {
    handle_->device = CreateFileA(DevicePathForPort(port).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle_->device == INVALID_HANDLE_VALUE) ThrowLastError();
}

LocalSerialDevice::~LocalSerialDevice() { CloseHandle(handle_->device); }

void LocalSerialDevice::SetQueueSizes(int input, int output) {
    Check(SetupComm(handle_->device, Unsigned(input), Unsigned(output)));
}

void LocalSerialDevice::ApplyLine(const SerialLine& line) {
    // A device that is no communications port fails here, before anything changes.
    DCB current{};
    current.DCBlength = sizeof current;
    Check(GetCommState(handle_->device, &current));
    DCB wanted = LineDcb(line);
    Check(SetCommState(handle_->device, &wanted));
}

void LocalSerialDevice::ApplyTimeouts(const SerialTimeouts& timeouts) {
    COMMTIMEOUTS driver{};
    driver.ReadIntervalTimeout =
        timeouts.read_interval < 0 ? MAXDWORD : static_cast<DWORD>(timeouts.read_interval);
    driver.ReadTotalTimeoutMultiplier = Unsigned(timeouts.read_total_multiplier);
    driver.ReadTotalTimeoutConstant = Unsigned(timeouts.read_total_constant);
    driver.WriteTotalTimeoutMultiplier = Unsigned(timeouts.write_total_multiplier);
    driver.WriteTotalTimeoutConstant = Unsigned(timeouts.write_total_constant);
    Check(SetCommTimeouts(handle_->device, &driver));
    handle_->timeouts = driver;
}

int LocalSerialDevice::ModemStatus() const {
    DWORD status = 0;
    if (GetCommModemStatus(handle_->device, &status)) return static_cast<int>(status);
    if (IsUnsupported(GetLastError())) return -1;
    ThrowLastError();
}

int LocalSerialDevice::BytesWaiting() { return static_cast<int>(handle_->Status().cbInQue); }

int LocalSerialDevice::OutputQueued() const {
    DWORD errors = 0;
    COMSTAT status{};
    if (!ClearCommError(handle_->device, &errors, &status)) return 0;
    return static_cast<int>(status.cbOutQue);
}

// A plain handle has no wait with a time-out for received bytes, so the
// queue is looked at in short sleeps.
bool LocalSerialDevice::WaitForInput(std::chrono::milliseconds timeout) {
    constexpr std::chrono::milliseconds kStep{5};
    const auto until = std::chrono::steady_clock::now() + timeout;
    while (BytesWaiting() == 0) {
        const auto now = std::chrono::steady_clock::now();
        if (now >= until) return false;
        Sleep(static_cast<DWORD>(std::min<std::chrono::milliseconds>(
                                     kStep, std::chrono::ceil<std::chrono::milliseconds>(until - now))
                                     .count()));
    }
    return true;
}

void LocalSerialDevice::Flush(bool input, bool output) {
    const DWORD flags = (input ? PURGE_RXCLEAR : 0) | (output ? PURGE_TXCLEAR : 0);
    if (flags != 0) Check(PurgeComm(handle_->device, flags));
}

std::size_t LocalSerialDevice::Read(unsigned char* buffer, std::size_t count) {
    // Bytes already waiting are taken at once, whatever the driver would
    // do with a longer request; otherwise the total time-out bounds the wait.
    const DWORD waiting = handle_->Status().cbInQue;
    const DWORD wanted = static_cast<DWORD>(waiting > 0 ? std::min<std::size_t>(waiting, count) : count);
    DWORD got = 0;
    Check(ReadFile(handle_->device, buffer, wanted, &got, nullptr));
    return got;
}

SerialWrite LocalSerialDevice::Write(const unsigned char* buffer, std::size_t count) {
    const auto start = std::chrono::steady_clock::now();
    DWORD written = 0;
    Check(WriteFile(handle_->device, buffer, static_cast<DWORD>(count), &written, nullptr));
    SerialWrite result;
    result.written = written;
    // A driver that completes the write once the bytes are queued (Wine's
    // does) is waited for until they have left, within the write time-out,
    // noting any input that arrives meanwhile.
    const auto deadline = start + handle_->write_total(count);
    for (;;) {
        const COMSTAT status = handle_->Status();
        if (status.cbOutQue == 0) return result;
        result.input_while_sending = std::max(result.input_while_sending, static_cast<int>(status.cbInQue));
        if (std::chrono::steady_clock::now() >= deadline) return result;
        Sleep(1);
    }
}

}  // namespace nkq
