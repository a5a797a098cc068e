#pragma once
// Windows only: the window's remembered firmware file name, the text value
// "FileName" directly under the current user's key "Software\Orvenik",
// where the workstation has always kept it. The key is made when missing,
// on reading as on writing. (Linux keeps it in a settings file instead.)
#include <string>

#include "firmware/FileNameStore.h"

namespace nkq {

class RegistryFileNameStore : public FileNameStore {
public:
    // `key` below HKEY_CURRENT_USER; tests name a key of their own.
    explicit RegistryFileNameStore(std::string key = "Software\\Orvenik");

    // Empty when the value is missing. ERegistryException "Invalid data type
    // for 'FileName'" when the value is not text (REG_SZ or REG_EXPAND_SZ),
    // "Failed to get data for 'FileName'" when the key or value cannot be read.
    std::string LoadFileName() override;
    // Stores REG_SZ; ERegistryException "Failed to set data for 'FileName'".
    void SaveFileName(const std::string& file_name) override;

private:
    std::string key_;
};

}  // namespace nkq
