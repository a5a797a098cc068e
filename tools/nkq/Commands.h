#pragma once
// The commands of nkq, each running the workstation's own operations.
#include "Arguments.h"

namespace nkq::cli {

// Each returns the exit status: 0 success, 1 the operation failed.
int RunPorts();
int RunRead(const Arguments& args);
int RunWrite(const Arguments& args);
// Raises UsageError when the question cannot be asked (no terminal, no --yes).
int RunFlash(const Arguments& args);
int RunStatus(const Arguments& args);

}  // namespace nkq::cli
