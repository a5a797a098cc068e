#pragma once
// A sysfs tty class directory and a /dev directory built in a temporary
// directory, so the port list can be checked against known contents.
#include <filesystem>
#include <string>

#include "serial/PortList.h"

namespace nkq::test {

class FakePortTree {
public:
    FakePortTree();
    ~FakePortTree();
    FakePortTree(const FakePortTree&) = delete;
    FakePortTree& operator=(const FakePortTree&) = delete;

    TPortListRoots Roots() const { return {sys_, dev_}; }
    const std::filesystem::path& Sys() const { return sys_; }
    const std::filesystem::path& Dev() const { return dev_; }

    // A tty with a device bound to `driver`; `uart_type` < 0 writes no type file.
    void AddKernelPort(const std::string& name, const std::string& driver = "serial", int uart_type = -1);
    // A tty without a driver, as the kernel lists virtual consoles.
    void AddDriverlessTty(const std::string& name);
    void AddDevLink(const std::string& name, const std::filesystem::path& target);
    void Remove(const std::string& name);

private:
    std::filesystem::path root_;
    std::filesystem::path sys_;
    std::filesystem::path dev_;
};

}  // namespace nkq::test
