#include "TestFiles.h"

#include <unistd.h>

#include <atomic>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "serial/ComPort.h"

namespace nkq::testing {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFile(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

TempFolder::TempFolder(const std::string& label) {
    static std::atomic<int> counter{0};
    const auto name = "nkq-" + label + "-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    path_ = fs::temp_directory_path() / name;
    fs::remove_all(path_);
    fs::create_directories(path_);
    path_ = fs::canonical(path_);
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

bool DeviceIsFree(const std::string& device) {
    TComPort probe(TComPortSetup::System);
    probe.SetPort(device);
    probe.Open();
    probe.Close();
    return true;
}

}  // namespace nkq::testing
