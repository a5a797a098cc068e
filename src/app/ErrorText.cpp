#include "app/ErrorText.h"

#include <cstdio>

namespace nkq {

std::string ErrorDisplayText(const std::string& message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') return message + ".";
    return message;
}

std::string StartupFailureText(const std::string& kind, const std::string& module, std::uintptr_t address,
                               const std::string& message) {
    char hex[32];
    std::snprintf(hex, sizeof hex, "%08lX", static_cast<unsigned long>(address));
    // Unlike the error display, only a text that already ends in "." is left alone.
    const char* period = (!message.empty() && message.back() != '.') ? "." : "";
    return "Exception " + kind + " in module " + module + " at " + hex + ".\r\n" + message + period + "\r\n";
}

}  // namespace nkq
