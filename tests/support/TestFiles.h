#pragma once
// Small helpers the end-to-end suites share.
#include <filesystem>
#include <string>

namespace nkq::testing {

// The whole file as bytes; empty when it cannot be read.
std::string ReadFile(const std::filesystem::path& path);

// True when no port object holds the device any more: a fresh open with the
// workstation's line succeeds (and is closed again) at once.
bool DeviceIsFree(const std::string& device);

}  // namespace nkq::testing
