#pragma once
// The box shown when the program cannot start: no owner, caption
// "Application Error", the stop icon and one OK button.
#include <cstdint>
#include <exception>

namespace nkq::ui {

void ShowStartupFailure(const std::exception& failure, std::uintptr_t address);

}  // namespace nkq::ui
