#include "StandardOutput.h"

namespace nkq::cli {

EOutputError::EOutputError(const std::string& what, int error_number)
    : Exception("EOutputError", "Cannot write " + what + ": " + SystemErrorText(error_number)),
      error_number_(error_number) {}

}  // namespace nkq::cli
