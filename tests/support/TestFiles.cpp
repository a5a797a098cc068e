#include "TestFiles.h"

#include <fstream>
#include <sstream>

#include "serial/ComPort.h"

namespace nkq::testing {

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool DeviceIsFree(const std::string& device) {
    TComPort probe(TComPortSetup::System);
    probe.SetPort(device);
    probe.Open();
    probe.Close();
    return true;
}

}  // namespace nkq::testing
