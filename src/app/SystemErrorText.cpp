// The system's text for an errno value.
#include <cstring>

#include "app/Failure.h"

namespace nkq {

std::string SystemErrorText(int error_number) {
    char buffer[256];
    // GNU strerror_r may return a static string rather than fill the buffer.
    const char* text = strerror_r(error_number, buffer, sizeof buffer);
    std::string result = text ? text : "";
    if (!result.empty() && result.back() == '.') result.pop_back();
    return result;
}

}  // namespace nkq
