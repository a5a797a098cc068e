// The port list on Windows: the data of every value under the registry key
// where serial drivers register their ports (the value names are device
// paths, the data the port names such as COM3).
#include <windows.h>

#include <algorithm>

#include "RemotePorts.h"
#include "serial/EComPort.h"
#include "serial/PortList.h"

namespace nkq {

namespace {

constexpr DWORD kNameRoom = 256;
constexpr DWORD kDataRoom = 256;

class RegistryKey {
public:
    // Windows creates the key with the first serial driver, so a machine
    // with no serial port has none. When the list names network ports, that
    // is no local port rather than a failure: the window must still start
    // and reach the remote modems.
    RegistryKey(const TPortListRoots& roots, bool missing_is_empty) {
        const HKEY hive =
            roots.Root == TPortListRoots::Hive::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
        const LONG result = RegOpenKeyExA(hive, roots.Key.c_str(), 0, KEY_READ, &key_);
        if (result == ERROR_FILE_NOT_FOUND && missing_is_empty) return;
        if (result != ERROR_SUCCESS) throw EComPort(kComRegistryFailed, static_cast<int>(result));
    }
    ~RegistryKey() {
        if (key_) RegCloseKey(key_);
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    // The data of value `index` as text; false when there are no more values.
    bool ValueData(DWORD index, std::string& text) const {
        if (!key_) return false;
        char name[kNameRoom];
        DWORD name_size = kNameRoom;
        BYTE data[kDataRoom];
        DWORD data_size = kDataRoom;
        const LONG result = RegEnumValueA(key_, index, name, &name_size, nullptr, nullptr, data, &data_size);
        if (result == ERROR_NO_MORE_ITEMS) return false;
        if (result != ERROR_SUCCESS) throw EComPort(kComRegistryFailed, static_cast<int>(result));
        // The data ends in its terminating zero.
        text.assign(reinterpret_cast<const char*>(data), data_size > 0 ? data_size - 1 : 0);
        return true;
    }

private:
    HKEY key_ = nullptr;
};

}  // namespace

void ListPortNames(std::vector<std::string>& List, const TPortListRoots& Roots) {
    std::vector<std::string> remote;
    AppendRemotePorts(remote);
    std::vector<std::string> names;
    {
        const RegistryKey key(Roots, !remote.empty());
        std::string text;
        for (DWORD index = 0; key.ValueData(index, text); ++index) names.push_back(text);
    }
    std::stable_sort(names.begin(), names.end(), PortNameLess);
    names.insert(names.end(), remote.begin(), remote.end());
    List = std::move(names);
}

}  // namespace nkq
