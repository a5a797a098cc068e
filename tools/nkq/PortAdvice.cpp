#include "PortAdvice.h"

#include <cerrno>

namespace nkq::cli {

std::string OpenFailureAdvice(int error_number, const std::string& device_path) {
    if (error_number == EACCES || error_number == EPERM)
        return "Hint: this user may not use " + device_path +
               "; give access with 'sudo usermod -aG dialout $USER', then log out and in again.";
    // EBUSY: the device is in exclusive use (TIOCEXCL); EWOULDBLOCK: another
    // program holds its lock.
    if (error_number == EBUSY || error_number == EWOULDBLOCK)
        return "Hint: another program holds " + device_path + "; 'fuser -v " + device_path + "' or 'lsof " +
               device_path + "' shows which. A desktop's ModemManager may have grabbed it: " +
               "'sudo systemctl stop ModemManager', or a udev rule with ENV{ID_MM_DEVICE_IGNORE}=\"1\".";
    return {};
}

}  // namespace nkq::cli
