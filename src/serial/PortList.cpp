// The port list on Linux: the kernel's serial devices plus virtual ports.
#include "serial/PortList.h"

#include <algorithm>
#include <fstream>
#include <system_error>

#include "RemotePorts.h"
#include "serial/EComPort.h"

namespace nkq {

namespace fs = std::filesystem;

namespace {

[[noreturn]] void ThrowListError(const std::error_code& error) {
    throw EComPort(kComRegistryFailed, error.value());
}

// Calls `visit` for every entry of `dir`; an unreadable directory is the
// list source failing.
template <class Visit>
void ForEachEntry(const fs::path& dir, Visit&& visit) {
    std::error_code error;
    fs::directory_iterator it(dir, error);
    if (error) ThrowListError(error);
    for (; it != fs::directory_iterator(); it.increment(error)) {
        if (error) ThrowListError(error);
        visit(*it);
    }
    if (error) ThrowListError(error);
}

// The serial core registers every possible ttyS line whether a UART is
// fitted or not; its "type" file reads 0 for lines without one. Which driver
// the line's device is bound to differs between kernels ("serial8250", or
// since Linux 6.5 the core's "port"), so only the type decides. Lines
// without a type file (USB and ACM adapters) are real ports.
bool IsFittedUart(const fs::path& tty_dir) {
    std::ifstream type_file(tty_dir / "type");
    int type = -1;
    if (!(type_file >> type)) return true;
    return type != 0;
}

bool IsKernelSerialPort(const fs::path& tty_dir) {
    std::error_code error;
    return fs::exists(tty_dir / "device" / "driver", error) && IsFittedUart(tty_dir);
}

bool IsPseudoTerminalPath(const fs::path& path) {
    const std::string number = path.filename().string();
    return path.parent_path().filename() == "pts" && !number.empty() &&
           std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Links such as those socat or the virtual modem create.
bool IsVirtualPort(const fs::directory_entry& entry) {
    std::error_code error;
    if (entry.path().filename().string().rfind("tty", 0) != 0 || !entry.is_symlink(error)) return false;
    fs::path target = fs::read_symlink(entry.path(), error);
    if (error) return false;
    if (target.is_relative()) target = entry.path().parent_path() / target;
    target = target.lexically_normal();
    return IsPseudoTerminalPath(target) && fs::exists(target, error);
}

}  // namespace

void ListPortNames(std::vector<std::string>& List, const TPortListRoots& Roots) {
    std::vector<std::string> names;
    ForEachEntry(Roots.SysClassTty, [&](const fs::directory_entry& entry) {
        if (IsKernelSerialPort(entry.path())) names.push_back(entry.path().filename().string());
    });
    ForEachEntry(Roots.Dev, [&](const fs::directory_entry& entry) {
        if (IsVirtualPort(entry)) names.push_back(entry.path().filename().string());
    });
    std::stable_sort(names.begin(), names.end(), PortNameLess);
    AppendRemotePorts(names);
    List = std::move(names);
}

}  // namespace nkq
