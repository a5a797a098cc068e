#include "FakePortTree.h"

#include <stdlib.h>

#include <fstream>
#include <system_error>

namespace nkq::test {

namespace fs = std::filesystem;

FakePortTree::FakePortTree() {
    std::string pattern = (fs::temp_directory_path() / "nkq-ports-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::system_error(errno, std::generic_category(), "mkdtemp");
    root_ = pattern;
    sys_ = root_ / "sys/class/tty";
    dev_ = root_ / "dev";
    fs::create_directories(sys_);
    fs::create_directories(dev_ / "pts");
    fs::create_directories(root_ / "drivers");
}

FakePortTree::~FakePortTree() {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
}

void FakePortTree::AddKernelPort(const std::string& name, const std::string& driver, int uart_type) {
    const fs::path device = root_ / "devices" / name;
    fs::create_directories(device);
    fs::create_directories(root_ / "drivers" / driver);
    fs::create_directory_symlink(root_ / "drivers" / driver, device / "driver");
    fs::create_directories(sys_ / name);
    fs::create_directory_symlink(device, sys_ / name / "device");
    if (uart_type >= 0) std::ofstream(sys_ / name / "type") << uart_type << "\n";
}

void FakePortTree::AddDriverlessTty(const std::string& name) { fs::create_directories(sys_ / name); }

void FakePortTree::AddDevLink(const std::string& name, const fs::path& target) {
    fs::create_symlink(target, dev_ / name);
}

void FakePortTree::Remove(const std::string& name) {
    fs::remove_all(sys_ / name);
    fs::remove(dev_ / name);
}

}  // namespace nkq::test
