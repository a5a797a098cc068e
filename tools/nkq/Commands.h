#pragma once
// What the commands of nkq run, each through the workstation's own
// operations. Each returns the exit status: 0 success (on every port), 1 the
// operation failed (on at least one port).
#include <memory>

#include "Arguments.h"

namespace nkq {
class PortTrace;
}

namespace nkq::cli {

int RunPorts(const Arguments& args, const std::shared_ptr<PortTrace>& trace);
int RunRead(const Arguments& args, const std::shared_ptr<PortTrace>& trace);
int RunVerify(const Arguments& args, const std::shared_ptr<PortTrace>& trace);
int RunWrite(const Arguments& args, const std::shared_ptr<PortTrace>& trace);
// Raises UsageError when the question cannot be asked (no terminal, no --yes).
int RunFlash(const Arguments& args, const std::shared_ptr<PortTrace>& trace);
int RunStatus(const Arguments& args, const std::shared_ptr<PortTrace>& trace);

}  // namespace nkq::cli
