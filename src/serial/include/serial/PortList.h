#pragma once
// The serial ports registered on this machine: on Linux the kernel's serial
// devices plus the virtual ports that link to a pseudo-terminal; on Windows
// the values of the registry key HARDWARE\DEVICEMAP\SERIALCOMM.
#include <filesystem>
#include <string>
#include <vector>

#include "serial/PortNames.h"

namespace nkq {

#ifdef _WIN32
struct TPortListRoots {
    enum class Hive { LocalMachine, CurrentUser };
    Hive Root = Hive::LocalMachine;
    std::string Key{"HARDWARE\\DEVICEMAP\\SERIALCOMM"};
};
#else
struct TPortListRoots {
    std::filesystem::path SysClassTty{"/sys/class/tty"};
    std::filesystem::path Dev{"/dev"};
};
#endif

// Replaces `List` with the port names in ascending case-insensitive order
// (COM10 before COM2), followed by the ports on serial device servers that
// NKQ_REMOTE_PORTS names, in its order; duplicates stay. A list source that cannot be read
// raises EComPort code 23 with the system's error number and leaves `List`
// unchanged; on Windows a missing registry key, while NKQ_REMOTE_PORTS
// names ports, is no local port.
void ListPortNames(std::vector<std::string>& List, const TPortListRoots& Roots = {});

}  // namespace nkq
