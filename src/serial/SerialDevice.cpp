#include "serial/SerialDevice.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <system_error>
#include <thread>

#include "serial/Deadline.h"
#include "serial/LowLatency.h"

namespace nkq {

namespace {

[[noreturn]] void ThrowErrno(int error_number) {
    throw std::system_error(error_number, std::generic_category());
}

[[noreturn]] void ThrowLastError() { ThrowErrno(errno); }

// Pseudo-terminals and some adapters have no modem lines or output queue
// count; that must not make them unusable.
bool IsUnsupported(int error_number) { return error_number == ENOTTY || error_number == EINVAL; }

speed_t SpeedFor(int baud_rate) {
    switch (baud_rate) {
        case 110: return B110;
        case 300: return B300;
        case 600: return B600;
        case 1200: return B1200;
        case 2400: return B2400;
        case 4800: return B4800;
        case 9600: return B9600;
        case 19200: return B19200;
        case 38400: return B38400;
        case 57600: return B57600;
        case 115200: return B115200;
        default: ThrowErrno(EINVAL);
    }
}

tcflag_t SizeFlag(int data_bits) {
    switch (data_bits) {
        case 5: return CS5;
        case 6: return CS6;
        case 7: return CS7;
        case 8: return CS8;
        default: ThrowErrno(EINVAL);
    }
}

tcflag_t ParityFlags(TParityBits parity) {
    switch (parity) {
        case TParityBits::prNone: return 0;
        case TParityBits::prOdd: return PARENB | PARODD;
        case TParityBits::prEven: return PARENB;
        case TParityBits::prMark: return PARENB | PARODD | CMSPAR;
        case TParityBits::prSpace: return PARENB | CMSPAR;
    }
    ThrowErrno(EINVAL);
}

// Raw line: every byte passes unchanged both ways; HUPCL cleared so that
// closing the device does not pulse the modem lines.
void MakeRaw(termios& tio) {
    tio.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | IGNPAR | PARMRK | INPCK | ISTRIP | INLCR |
                                           IGNCR | ICRNL | IXON | IXOFF | IXANY | IMAXBEL | IUCLC);
    tio.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    tio.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHOE | ECHOK | ECHONL | ECHOCTL | ECHOKE | ICANON |
                                           ISIG | IEXTEN | NOFLSH | TOSTOP);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | CSTOPB | PARENB | PARODD | CMSPAR | CRTSCTS | HUPCL);
    tio.c_cflag |= CLOCAL | CREAD;
    // VMIN 1 keeps a non-blocking read with nothing queued at EAGAIN; with
    // VMIN 0 it would return 0, which looks like a vanished device.
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
}

void ApplyLineTo(termios& tio, const SerialLine& line) {
    MakeRaw(tio);
    tio.c_cflag |= SizeFlag(line.DataBits) | ParityFlags(line.Parity);
    // Linux has no 1.5 stop bits; two stop bits is the nearest setting.
    if (line.TwoStopBits) tio.c_cflag |= CSTOPB;
    if (line.ParityCheck) tio.c_iflag |= INPCK;
    if (line.CtsFlow) tio.c_cflag |= CRTSCTS;
    if (line.XonXoffOut) tio.c_iflag |= IXON;
    if (line.XonXoffIn) tio.c_iflag |= IXOFF;
    tio.c_cc[VSTART] = line.XonChar;
    tio.c_cc[VSTOP] = line.XoffChar;
    const speed_t speed = SpeedFor(line.BaudRate);
    if (cfsetispeed(&tio, speed) != 0 || cfsetospeed(&tio, speed) != 0) ThrowLastError();
}

void SetModemLine(int fd, int bit, bool active) {
    if (ioctl(fd, active ? TIOCMBIS : TIOCMBIC, &bit) != 0 && !IsUnsupported(errno)) ThrowLastError();
}

}  // namespace

bool IsDeviceGoneError(int error_number) {
    return error_number == EIO || error_number == ENXIO || error_number == ENODEV;
}

std::string DevicePathForPort(const std::string& port) {
    if (port.find('/') != std::string::npos) return port;
    return "/dev/" + port;
}

SerialDevice::SerialDevice(const std::string& path) {
    fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) ThrowLastError();
    const int lock_result = flock(fd_, LOCK_EX | LOCK_NB);
    const int saved = errno;
    if (lock_result != 0 || (ioctl(fd_, TIOCEXCL) != 0 && !IsUnsupported(errno))) {
        const int error_number = lock_result != 0 ? saved : errno;
        ::close(fd_);
        fd_ = -1;
        ThrowErrno(error_number);
    }
    low_latency_ = std::make_unique<LowLatencyMode>(fd_);
}

SerialDevice::~SerialDevice() {
    low_latency_.reset();
    ioctl(fd_, TIOCNXCL);
    flock(fd_, LOCK_UN);
    ::close(fd_);
}

void SerialDevice::ApplyLine(const SerialLine& line) {
    termios tio{};
    if (tcgetattr(fd_, &tio) != 0) ThrowLastError();
    ApplyLineTo(tio, line);
    if (tcsetattr(fd_, TCSANOW, &tio) != 0) ThrowLastError();
    // Start bit, data bits, parity bit, stop bits.
    const int parity_bits = line.Parity != TParityBits::prNone ? 1 : 0;
    const int bits = 1 + line.DataBits + parity_bits + (line.TwoStopBits ? 2 : 1);
    char_time_ = std::chrono::nanoseconds(1'000'000'000LL * bits / line.BaudRate);
    SetModemLine(fd_, TIOCM_DTR, line.Dtr);
    SetModemLine(fd_, TIOCM_RTS, line.Rts);
}

int SerialDevice::ModemStatus() const {
    int status = 0;
    if (ioctl(fd_, TIOCMGET, &status) == 0) return status;
    if (IsUnsupported(errno)) return -1;
    ThrowLastError();
}

int SerialDevice::BytesWaiting() const {
    int count = 0;
    if (ioctl(fd_, FIONREAD, &count) != 0) ThrowLastError();
    return count;
}

void SerialDevice::Flush(bool input, bool output) {
    if (!input && !output) return;
    const int which = input && output ? TCIOFLUSH : (input ? TCIFLUSH : TCOFLUSH);
    if (tcflush(fd_, which) != 0) ThrowLastError();
}

std::size_t SerialDevice::ReadSome(unsigned char* buffer, std::size_t count) {
    for (;;) {
        const ssize_t n = ::read(fd_, buffer, count);
        if (n > 0) return static_cast<std::size_t>(n);
        if (n == 0) ThrowErrno(EIO);
        if (errno == EINTR) continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) return 0;
        ThrowLastError();
    }
}

std::size_t SerialDevice::WriteSome(const unsigned char* buffer, std::size_t count) {
    for (;;) {
        const ssize_t n = ::write(fd_, buffer, count);
        if (n >= 0) return static_cast<std::size_t>(n);
        if (errno == EINTR) continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) return 0;
        ThrowLastError();
    }
}

WaitResult SerialDevice::Wait(short events, const Deadline& deadline) const {
    for (;;) {
        pollfd entry{fd_, events, 0};
        const int timeout = deadline.PollMilliseconds();
        const int n = ::poll(&entry, 1, timeout);
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN) continue;
            ThrowLastError();
        }
        if (n > 0 && (entry.revents & (POLLHUP | POLLERR | POLLNVAL))) return WaitResult::HangUp;
        if (n > 0 && (entry.revents & events)) return WaitResult::Ready;
        if (deadline.Expired()) return WaitResult::TimedOut;
    }
}

WaitResult SerialDevice::WaitReadable(const Deadline& deadline) const { return Wait(POLLIN, deadline); }

WaitResult SerialDevice::WaitWritable(const Deadline& deadline) const { return Wait(POLLOUT, deadline); }

int SerialDevice::OutputQueued() const {
    int queued = 0;
    if (ioctl(fd_, TIOCOUTQ, &queued) != 0) return 0;
    return queued;
}

int SerialDevice::WaitOutputDrained(const Deadline& deadline) const {
    using namespace std::chrono_literals;
    int input_before_drained = 0;
    for (;;) {
        // Input counted before output is seen still queued arrived while it was queued.
        int input = 0;
        if (ioctl(fd_, FIONREAD, &input) != 0) input = 0;
        int queued = 0;
        if (ioctl(fd_, TIOCOUTQ, &queued) != 0 || queued <= 0) return input_before_drained;
        input_before_drained = std::max(input_before_drained, input);
        if (deadline.Expired()) return input_before_drained;
        // Sleep about as long as the line needs for what is queued: a fixed
        // poll step would add up to a step to every packet of an upload.
        const auto needed = std::max<std::chrono::nanoseconds>(char_time_ * queued, 100us);
        std::this_thread::sleep_for(std::min<std::chrono::nanoseconds>(needed, deadline.Remaining()));
    }
}

}  // namespace nkq
