#pragma once
// Text from a modem or a file is shown with its control characters made
// visible (ESC as ^[, DEL as ^?), so that a modem cannot send escape
// sequences to the technician's terminal.
#include <string>

namespace nkq::cli {

// Every control character in caret notation.
std::string Visible(const std::string& text);

// The same, keeping CR and LF where they end lines.
std::string VisibleKeepingLineEnds(const std::string& text);

}  // namespace nkq::cli
