// The serial device on POSIX termios: raw mode, exclusive use with TIOCEXCL
// plus flock (root ignores TIOCEXCL), and the read and write rules kept by
// poll() against one deadline per transfer.
#include "LocalSerialDevice.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <system_error>
#include <thread>

#include "Deadline.h"
#include "LowLatency.h"
#include "serial/PortNames.h"

namespace nkq {

namespace {

[[noreturn]] void ThrowErrno(int error_number) {
    throw std::system_error(error_number, std::generic_category());
}

[[noreturn]] void ThrowLastError() { ThrowErrno(errno); }

enum class WaitResult { Ready, HangUp, TimedOut };

// Pseudo-terminals and some adapters have no modem lines or output queue
// count; that must not make them unusable.
bool IsUnsupported(int error_number) { return error_number == ENOTTY || error_number == EINVAL; }

speed_t SpeedFor(int baud_rate) {
    switch (baud_rate) {
        case 110:
            return B110;
        case 300:
            return B300;
        case 600:
            return B600;
        case 1200:
            return B1200;
        case 2400:
            return B2400;
        case 4800:
            return B4800;
        case 9600:
            return B9600;
        case 19200:
            return B19200;
        case 38400:
            return B38400;
        case 57600:
            return B57600;
        case 115200:
            return B115200;
        default:
            ThrowErrno(EINVAL);
    }
}

tcflag_t SizeFlag(int data_bits) {
    switch (data_bits) {
        case 5:
            return CS5;
        case 6:
            return CS6;
        case 7:
            return CS7;
        case 8:
            return CS8;
        default:
            ThrowErrno(EINVAL);
    }
}

tcflag_t ParityFlags(TParityBits parity) {
    switch (parity) {
        case TParityBits::prNone:
            return 0;
        case TParityBits::prOdd:
            return PARENB | PARODD;
        case TParityBits::prEven:
            return PARENB;
        case TParityBits::prMark:
            return PARENB | PARODD | CMSPAR;
        case TParityBits::prSpace:
            return PARENB | CMSPAR;
    }
    ThrowErrno(EINVAL);
}

// Raw line: every byte passes unchanged both ways; HUPCL cleared so that
// closing the device does not pulse the modem lines.
void MakeRaw(termios& tio) {
    tio.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | IGNPAR | PARMRK | INPCK | ISTRIP | INLCR | IGNCR |
                                          ICRNL | IXON | IXOFF | IXANY | IMAXBEL | IUCLC);
    tio.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    tio.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHOE | ECHOK | ECHONL | ECHOCTL | ECHOKE | ICANON | ISIG |
                                          IEXTEN | NOFLSH | TOSTOP);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | CSTOPB | PARENB | PARODD | CMSPAR | CRTSCTS | HUPCL);
    tio.c_cflag |= CLOCAL | CREAD;
    // VMIN 1 keeps a non-blocking read with nothing queued at EAGAIN; with
    // VMIN 0 it would return 0, which looks like a vanished device.
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
}

void ApplyLineTo(termios& tio, const SerialLine& line) {
    MakeRaw(tio);
    tio.c_cflag |= SizeFlag(line.data_bits) | ParityFlags(line.parity);
    // Linux has no 1.5 stop bits; two stop bits is the nearest setting.
    if (line.stop_bits != TStopBits::sbOneStopBit) tio.c_cflag |= CSTOPB;
    if (line.parity_check) tio.c_iflag |= INPCK;
    if (line.cts_flow || line.rts == TRTSFlowControl::rtsHandshake) tio.c_cflag |= CRTSCTS;
    if (line.xon_xoff_out) tio.c_iflag |= IXON;
    if (line.xon_xoff_in) tio.c_iflag |= IXOFF;
    tio.c_cc[VSTART] = line.xon_char;
    tio.c_cc[VSTOP] = line.xoff_char;
    const speed_t speed = SpeedFor(line.baud_rate);
    if (cfsetispeed(&tio, speed) != 0 || cfsetospeed(&tio, speed) != 0) ThrowLastError();
}

void SetModemLine(int fd, int bit, bool active) {
    if (ioctl(fd, active ? TIOCMBIS : TIOCMBIC, &bit) != 0 && !IsUnsupported(errno)) ThrowLastError();
}

}  // namespace

struct LocalSerialDevice::Handle {
    int fd = -1;
    std::chrono::nanoseconds char_time{86'806};  // one character on the line; 115200 8N1 until set
    SerialTimeouts timeouts;
    std::unique_ptr<LowLatencyMode> low_latency;  // undone before the device is released

    WaitResult Wait(short events, const Deadline& deadline) const;
    std::size_t ReadSome(unsigned char* buffer, std::size_t count);
    std::size_t WriteSome(const unsigned char* buffer, std::size_t count);
    std::size_t ReadUntil(unsigned char* buffer, std::size_t count, const Deadline& deadline);
    std::size_t WriteUntil(const unsigned char* buffer, std::size_t count, const Deadline& deadline);
    int WaitOutputDrained(const Deadline& deadline) const;
};

bool IsLocalDeviceGoneError(int error_number) {
    return error_number == EIO || error_number == ENXIO || error_number == ENODEV;
}

std::string DevicePathForPort(const std::string& port) {
    if (port.find('/') != std::string::npos) return port;
    return "/dev/" + port;
}

// Opens read/write, non-blocking, not as controlling terminal, takes the
// device for exclusive use and asks its driver for low latency.
LocalSerialDevice::LocalSerialDevice(const std::string& port) : handle_(std::make_unique<Handle>()) {
    int& fd = handle_->fd;
    fd = ::open(DevicePathForPort(port).c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) ThrowLastError();
    const int lock_result = flock(fd, LOCK_EX | LOCK_NB);
    const int saved = errno;
    if (lock_result != 0 || (ioctl(fd, TIOCEXCL) != 0 && !IsUnsupported(errno))) {
        const int error_number = lock_result != 0 ? saved : errno;
        ::close(fd);
        ThrowErrno(error_number);
    }
    handle_->low_latency = std::make_unique<LowLatencyMode>(fd);
}

LocalSerialDevice::~LocalSerialDevice() {
    handle_->low_latency.reset();
    ioctl(handle_->fd, TIOCNXCL);
    flock(handle_->fd, LOCK_UN);
    ::close(handle_->fd);
}

// The queues of a terminal device are the kernel's own.
void LocalSerialDevice::SetQueueSizes(int, int) {}

void LocalSerialDevice::ApplyLine(const SerialLine& line) {
    termios tio{};
    if (tcgetattr(handle_->fd, &tio) != 0) ThrowLastError();
    ApplyLineTo(tio, line);
    if (tcsetattr(handle_->fd, TCSANOW, &tio) != 0) ThrowLastError();
    handle_->char_time = line.CharacterTime();
    SetModemLine(handle_->fd, TIOCM_DTR, line.dtr != TDTRFlowControl::dtrDisable);
    SetModemLine(handle_->fd, TIOCM_RTS, line.rts != TRTSFlowControl::rtsDisable);
}

// Termios has no time-outs of its own: every transfer keeps them itself.
void LocalSerialDevice::ApplyTimeouts(const SerialTimeouts& timeouts) { handle_->timeouts = timeouts; }

int LocalSerialDevice::ModemStatus() const {
    int status = 0;
    if (ioctl(handle_->fd, TIOCMGET, &status) == 0) return status;
    if (IsUnsupported(errno)) return -1;
    ThrowLastError();
}

int LocalSerialDevice::BytesWaiting() {
    int count = 0;
    if (ioctl(handle_->fd, FIONREAD, &count) != 0) ThrowLastError();
    return count;
}

bool LocalSerialDevice::WaitForInput(std::chrono::milliseconds timeout) {
    return handle_->Wait(POLLIN, Deadline(timeout)) != WaitResult::TimedOut;
}

void LocalSerialDevice::Flush(bool input, bool output) {
    if (!input && !output) return;
    const int which = input && output ? TCIOFLUSH : (input ? TCIFLUSH : TCOFLUSH);
    if (tcflush(handle_->fd, which) != 0) ThrowLastError();
}

int LocalSerialDevice::OutputQueued() const {
    int queued = 0;
    if (ioctl(handle_->fd, TIOCOUTQ, &queued) != 0) return 0;
    return queued;
}

std::size_t LocalSerialDevice::Read(unsigned char* buffer, std::size_t count) {
    const Deadline deadline(handle_->timeouts.ReadTotal(count));
    const std::size_t waiting = handle_->ReadSome(buffer, count);
    return waiting > 0 ? waiting : handle_->ReadUntil(buffer, count, deadline);
}

SerialWrite LocalSerialDevice::Write(const unsigned char* buffer, std::size_t count) {
    const Deadline deadline(handle_->timeouts.WriteTotal(count));
    SerialWrite result;
    result.written = handle_->WriteUntil(buffer, count, deadline);
    result.input_while_sending = handle_->WaitOutputDrained(deadline);
    return result;
}

// One non-blocking transfer; 0 when the device has nothing right now. A read
// that reports end of file means the device has gone.
std::size_t LocalSerialDevice::Handle::ReadSome(unsigned char* buffer, std::size_t count) {
    for (;;) {
        const ssize_t n = ::read(fd, buffer, count);
        if (n > 0) return static_cast<std::size_t>(n);
        if (n == 0) ThrowErrno(EIO);
        if (errno == EINTR) continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) return 0;
        ThrowLastError();
    }
}

std::size_t LocalSerialDevice::Handle::WriteSome(const unsigned char* buffer, std::size_t count) {
    for (;;) {
        const ssize_t n = ::write(fd, buffer, count);
        if (n >= 0) return static_cast<std::size_t>(n);
        if (errno == EINTR) continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) return 0;
        ThrowLastError();
    }
}

WaitResult LocalSerialDevice::Handle::Wait(short events, const Deadline& deadline) const {
    for (;;) {
        pollfd entry{fd, events, 0};
        const int n = ::poll(&entry, 1, deadline.PollMilliseconds());
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN) continue;
            ThrowLastError();
        }
        if (n > 0 && (entry.revents & (POLLHUP | POLLERR | POLLNVAL))) return WaitResult::HangUp;
        if (n > 0 && (entry.revents & events)) return WaitResult::Ready;
        if (deadline.Expired()) return WaitResult::TimedOut;
    }
}

std::size_t LocalSerialDevice::Handle::ReadUntil(unsigned char* buffer, std::size_t count,
                                                 const Deadline& deadline) {
    std::size_t got = 0;
    while (got < count) {
        const WaitResult wait = Wait(POLLIN, deadline);
        if (wait == WaitResult::TimedOut) break;
        const std::size_t n = ReadSome(buffer + got, count - got);
        // After a hang-up only what is still queued may be read; an empty
        // queue then means the device has gone.
        if (n == 0 && wait == WaitResult::HangUp) ThrowErrno(EIO);
        got += n;
    }
    return got;
}

std::size_t LocalSerialDevice::Handle::WriteUntil(const unsigned char* buffer, std::size_t count,
                                                  const Deadline& deadline) {
    std::size_t done = WriteSome(buffer, count);
    while (done < count) {
        const WaitResult wait = Wait(POLLOUT, deadline);
        if (wait == WaitResult::TimedOut) break;
        const std::size_t n = WriteSome(buffer + done, count - done);
        if (n == 0 && wait == WaitResult::HangUp) ThrowErrno(EIO);
        done += n;
    }
    return done;
}

// Bounded stand-in for tcdrain: waits until the driver's output queue is
// empty or the deadline passes. Returns how many received bytes were seen
// waiting while output was still queued (0 when none were seen).
int LocalSerialDevice::Handle::WaitOutputDrained(const Deadline& deadline) const {
    using namespace std::chrono_literals;
    int input_before_drained = 0;
    for (;;) {
        // Input counted before output is seen still queued arrived while it was queued.
        int input = 0;
        if (ioctl(fd, FIONREAD, &input) != 0) input = 0;
        int queued = 0;
        if (ioctl(fd, TIOCOUTQ, &queued) != 0 || queued <= 0) return input_before_drained;
        input_before_drained = std::max(input_before_drained, input);
        if (deadline.Expired()) return input_before_drained;
        // Sleep about as long as the line needs for what is queued: a fixed
        // poll step would add up to a step to every packet of an upload.
        const auto needed = std::max<std::chrono::nanoseconds>(char_time * queued, 100us);
        std::this_thread::sleep_for(std::min<std::chrono::nanoseconds>(needed, deadline.Remaining()));
    }
}

}  // namespace nkq
