#pragma once
// How a failure's message is worded when it reaches the operator; shared by
// the window's error display and the command line.
#include <cstdint>
#include <string>

namespace nkq {

// Appends "." unless the text is empty or its last byte is "." (0x2E) or
// below, so texts ending in ")", "'", "!" or a blank stay as they are.
std::string ErrorDisplayText(const std::string& message);

// The text of the box shown when start-up itself fails.
std::string StartupFailureText(const std::string& kind, const std::string& module, std::uintptr_t address,
                               const std::string& message);

}  // namespace nkq
