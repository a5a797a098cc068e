#pragma once
// What a technician can do when a port cannot be opened: the port's own
// message names only the error number, which says little on a fresh desktop
// where the user lacks the dialout group or a modem manager holds the port.
#include <string>

namespace nkq::cli {

// One line of advice for an open failure with `error_number` on the device
// `device_path`, or empty when there is none to give (a missing device is
// told well enough by the message itself).
std::string OpenFailureAdvice(int error_number, const std::string& device_path);

}  // namespace nkq::cli
