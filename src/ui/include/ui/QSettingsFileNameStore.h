#pragma once
// The window's remembered firmware file name, kept by QSettings in its
// native form for the user on Linux: the INI file Orvenik.conf in the user's
// configuration folder (~/.config/Orvenik.conf). The application part of the
// scope is left empty on purpose: the value belongs to the organisation
// itself, as it does on Windows, where it is the value "FileName" directly
// under the registry key "Software\Orvenik" (RegistryFileNameStore; QSettings
// would keep it a key further down).
#include <memory>
#include <string>

#include "firmware/FileNameStore.h"

namespace nkq {

class QSettingsFileNameStore : public FileNameStore {
public:
    // The user's own store.
    QSettingsFileNameStore();
    // A settings file of the same form at `settings_file`, for tests and
    // for a workstation set up with its own file.
    explicit QSettingsFileNameStore(const std::string& settings_file);
    ~QSettingsFileNameStore() override;

    // Empty when the value is missing. ERegistryException when the value is
    // not text or the store cannot be read.
    std::string LoadFileName() override;
    // ERegistryException when the store cannot be written.
    void SaveFileName(const std::string& file_name) override;

    // Where the store lives (a file path on Linux), for messages and tests.
    std::string Location() const;

private:
    struct Settings;
    std::unique_ptr<Settings> settings_;
};

// The window's own store for this user: the registry on Windows, the
// QSettings file elsewhere.
std::unique_ptr<FileNameStore> UserFileNameStore();

}  // namespace nkq
