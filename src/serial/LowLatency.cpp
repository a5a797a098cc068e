#include "LowLatency.h"

#include <linux/serial.h>
#include <sys/ioctl.h>

namespace nkq {

namespace {

bool SetFlag(int fd, bool on) {
    serial_struct serial{};
    if (ioctl(fd, TIOCGSERIAL, &serial) != 0) return false;
    if (on) {
        serial.flags |= ASYNC_LOW_LATENCY;
    } else {
        serial.flags &= ~ASYNC_LOW_LATENCY;
    }
    return ioctl(fd, TIOCSSERIAL, &serial) == 0;
}

}  // namespace

int LowLatencyFlag(int fd) {
    serial_struct serial{};
    if (ioctl(fd, TIOCGSERIAL, &serial) != 0) return -1;
    return (serial.flags & ASYNC_LOW_LATENCY) != 0 ? 1 : 0;
}

LowLatencyMode::LowLatencyMode(int fd) : fd_(fd) {
    // Already on (set by the owner of the machine): nothing to undo later.
    if (LowLatencyFlag(fd_) != 0) return;
    switched_ = SetFlag(fd_, true);
}

LowLatencyMode::~LowLatencyMode() {
    // Only the one bit this object set goes back; a refusal now changes nothing.
    if (switched_) SetFlag(fd_, false);
}

}  // namespace nkq
