#pragma once
// The commands of nkq, each running the workstation's own operations.
#include <memory>

#include "Arguments.h"

namespace nkq {
class PortTrace;
}

namespace nkq::cli {

// Each returns the exit status: 0 success, 1 the operation failed.
int RunPorts();
// With several ports the operation runs on all of them at once and a table
// of their results ends the run. `trace`, when not null, records every port's
// exchange.
int RunRead(const Arguments& args, const std::shared_ptr<PortTrace>& trace);
int RunWrite(const Arguments& args, const std::shared_ptr<PortTrace>& trace);
// Raises UsageError when the question cannot be asked (no terminal, no --yes).
int RunFlash(const Arguments& args, const std::shared_ptr<PortTrace>& trace);
int RunStatus(const Arguments& args, const std::shared_ptr<PortTrace>& trace);

}  // namespace nkq::cli
