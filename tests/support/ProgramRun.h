#pragma once
// Runs a program to its end and keeps what it printed, for tests of the
// command-line tools.
#include <string>
#include <vector>

namespace nkq::testing {

struct ProgramResult {
    int exit_status = -1;  // -1 when the program did not end normally
    std::string out;
    std::string err;
};

// Standard input is /dev/null; `environment` holds extra "NAME=value" entries.
ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                         const std::vector<std::string>& environment = {});

}  // namespace nkq::testing
