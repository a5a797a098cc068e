#pragma once
// The serial ports registered on this machine: the kernel's serial devices
// plus the virtual ports that link to a pseudo-terminal.
#include <filesystem>
#include <string>
#include <vector>

namespace nkq {

struct TPortListRoots {
    std::filesystem::path SysClassTty{"/sys/class/tty"};
    std::filesystem::path Dev{"/dev"};
};

// Replaces `List` with the port names in ascending case-insensitive order
// (ttyS10 before ttyS2); duplicates stay. A source directory that cannot be
// read raises EComPort code 23 with its errno and leaves `List` unchanged.
void ListPortNames(std::vector<std::string>& List, const TPortListRoots& Roots = {});

// The ordering and the selector's match rule: byte-wise, letters compared
// without regard to case.
bool PortNameLess(const std::string& left, const std::string& right);
bool SamePortName(const std::string& left, const std::string& right);

}  // namespace nkq
