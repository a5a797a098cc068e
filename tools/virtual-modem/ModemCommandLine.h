#pragma once
// The switches of the nkq-virtual-modem program, kept apart from main() so
// that they can be tested.
#include <string>
#include <vector>

#include "VirtualModem.h"
#include "app/Failure.h"

namespace nkq {

// A command line the program cannot run with; the program ends with status 2.
class EUsage : public Exception {
public:
    explicit EUsage(std::string message) : Exception("EUsage", std::move(message)) {}
};

struct ModemCommandLine {
    ModemSetup setup;
    bool show_help = false;
};

// `arguments` excludes the program name. Throws EUsage for an unknown switch,
// a missing or malformed value; EFOpenError when --params names a file that
// cannot be read.
ModemCommandLine ParseModemCommandLine(const std::vector<std::string>& arguments);

// Every switch with its value and what it does.
std::string ModemUsageText(const std::string& program);

}  // namespace nkq
