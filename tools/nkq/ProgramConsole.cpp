// The console on POSIX is already UTF-8 and byte-exact.
#include "ProgramConsole.h"

namespace nkq::cli {

void PrepareConsole() {}

std::vector<std::string> ProgramArguments(int argc, char** argv) { return {argv + 1, argv + argc}; }

}  // namespace nkq::cli
