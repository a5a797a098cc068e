#pragma once
// Files, folders and devices the suites share.
#include <filesystem>
#include <string>

namespace nkq::testing {

// The whole file as bytes; empty when it cannot be read.
std::string ReadFile(const std::filesystem::path& path);
// Writes `bytes` as the whole file, creating its folders.
void WriteFile(const std::filesystem::path& path, const std::string& bytes);

// A folder below the system's temporary folder, removed with everything in it.
class TempFolder {
public:
    explicit TempFolder(const std::string& label);
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // Resolved, as a program sees its own path.
    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// True when no port object holds the device any more: a fresh open with the
// workstation's line succeeds (and is closed again) at once.
bool DeviceIsFree(const std::string& device);

}  // namespace nkq::testing
