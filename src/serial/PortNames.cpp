// The rules for port names that are the same on every platform; the device
// path itself is the local device's (one file per platform).
#include "serial/PortNames.h"

#include <algorithm>
#include <cctype>

namespace nkq {

namespace {

int FoldCase(char c) { return std::tolower(static_cast<unsigned char>(c)); }

// Windows takes these names, with any extension, for its devices, so no file
// can carry them (CON, PRN, AUX, NUL, COM0..COM9, LPT0..LPT9, in any case).
bool IsReservedDeviceName(const std::string& name) {
    std::string upper;
    for (const char c : name) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (upper == "CON" || upper == "PRN" || upper == "AUX" || upper == "NUL") return true;
    return upper.size() == 4 && (upper.rfind("COM", 0) == 0 || upper.rfind("LPT", 0) == 0) &&
           std::isdigit(static_cast<unsigned char>(upper[3]));
}

}  // namespace

std::string PortForDevicePath(const std::string& path) {
    const auto folder_end = path.find_last_of("/\\");
    if (folder_end == std::string::npos) return path;
    std::string name = path.substr(folder_end + 1);
    return DevicePathForPort(name) == path ? name : path;
}

std::string PortFileName(const std::string& port, std::string_view extension) {
    std::string name = DevicePathForPort(port);
    if (IsNetworkPort(port)) {
        std::string flat;
        for (std::size_t i = 0; i < name.size(); ++i) {
            const bool scheme_end = name.compare(i, 3, "://") == 0;
            flat += scheme_end || name[i] == ':' ? '-' : name[i];
            if (scheme_end) i += 2;
        }
        name = std::move(flat);
    }
    for (const char* device_folder : {"/dev/", "\\\\.\\"}) {
        const std::string prefix = device_folder;
        if (name.rfind(prefix, 0) == 0) name.erase(0, prefix.size());
    }
    name.erase(0, name.find_first_not_of("/\\"));
    std::replace(name.begin(), name.end(), '/', '-');
    std::replace(name.begin(), name.end(), '\\', '-');
    if (IsReservedDeviceName(name)) name += '_';
    return name + std::string(extension);
}

bool PortNameLess(const std::string& left, const std::string& right) {
    return std::lexicographical_compare(left.begin(), left.end(), right.begin(), right.end(),
                                        [](char a, char b) { return FoldCase(a) < FoldCase(b); });
}

bool SamePortName(const std::string& left, const std::string& right) {
    const auto same = [](char a, char b) { return FoldCase(a) == FoldCase(b); };
    return left.size() == right.size() && std::equal(left.begin(), left.end(), right.begin(), same);
}

}  // namespace nkq
