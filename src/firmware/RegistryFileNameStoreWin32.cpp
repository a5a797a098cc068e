#include <windows.h>

#include <cwchar>

#include "app/Failure.h"
#include "app/WidePath.h"
#include "firmware/RegistryFileNameStore.h"

namespace nkq {

namespace {

constexpr const char* kValueName = "FileName";
constexpr const wchar_t* kWideValueName = L"FileName";

// The store's key, opened with `access` and made first when missing.
class StoreKey {
public:
    StoreKey(const std::string& key, REGSAM access) {
        const LONG result = RegCreateKeyExW(HKEY_CURRENT_USER, WidePath(key).c_str(), 0, nullptr,
                                            REG_OPTION_NON_VOLATILE, access, nullptr, &key_, nullptr);
        if (result != ERROR_SUCCESS) key_ = nullptr;
    }
    ~StoreKey() {
        if (key_) RegCloseKey(key_);
    }
    StoreKey(const StoreKey&) = delete;
    StoreKey& operator=(const StoreKey&) = delete;

    HKEY Handle() const { return key_; }

private:
    HKEY key_ = nullptr;
};

}  // namespace

RegistryFileNameStore::RegistryFileNameStore(std::string key) : key_(std::move(key)) {}

std::string RegistryFileNameStore::LoadFileName() {
    const StoreKey key(key_, KEY_QUERY_VALUE);
    if (!key.Handle()) throw RegistryReadError(kValueName);
    std::wstring text;
    DWORD type = REG_NONE;
    DWORD size = 0;
    LONG result = RegQueryValueExW(key.Handle(), kWideValueName, nullptr, &type, nullptr, &size);
    // Another program may change the value between the two calls.
    while (result == ERROR_SUCCESS || result == ERROR_MORE_DATA) {
        if (type != REG_SZ && type != REG_EXPAND_SZ) throw InvalidRegistryTypeError(kValueName);
        text.assign(size / sizeof(wchar_t) + 1, L'\0');
        size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        result = RegQueryValueExW(key.Handle(), kWideValueName, nullptr, &type,
                                  reinterpret_cast<BYTE*>(text.data()), &size);
        if (result == ERROR_SUCCESS) {
            if (type != REG_SZ && type != REG_EXPAND_SZ) throw InvalidRegistryTypeError(kValueName);
            // The stored text may or may not carry its terminating zero.
            text.resize(wcsnlen(text.c_str(), size / sizeof(wchar_t)));
            return Utf8Path(text);
        }
    }
    if (result == ERROR_FILE_NOT_FOUND) return {};
    throw RegistryReadError(kValueName);
}

void RegistryFileNameStore::SaveFileName(const std::string& file_name) {
    const StoreKey key(key_, KEY_SET_VALUE);
    if (!key.Handle()) throw RegistryWriteError(kValueName);
    const std::wstring text = WidePath(file_name);
    const auto size = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    if (RegSetValueExW(key.Handle(), kWideValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       size) != ERROR_SUCCESS)
        throw RegistryWriteError(kValueName);
}

}  // namespace nkq
