// Advice for a port that will not open on Windows, where the usual cause is
// another program (a terminal program, another nkq) holding the port.
#include <windows.h>

#include "PortAdvice.h"

namespace nkq::cli {

std::string OpenFailureAdvice(int error_number, const std::string& device_path) {
    if (error_number == ERROR_ACCESS_DENIED || error_number == ERROR_SHARING_VIOLATION)
        return "Hint: another program holds " + device_path +
               "; close it (a terminal program, a modem tool or another nkq) and try again.";
    return {};
}

}  // namespace nkq::cli
