// nkq as a script or a technician runs it: real program, real pseudo-terminal,
// the virtual modem at the other end.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "NkqRun.h"
#include "VirtualModem.h"

namespace nkq::testing {
namespace {

namespace fs = std::filesystem;

using NkqProgramTest = NkqTest;

TEST_F(NkqProgramTest, HelpDescribesEveryCommandAndOption) {
    const auto general = Nkq({"--help"});
    EXPECT_EQ(general.exit_status, 0);
    for (const char* word : {"ports", "read", "write", "--port", "--output"})
        EXPECT_NE(general.out.find(word), std::string::npos) << word;
    for (const char* command : {"ports", "read", "write"}) {
        const auto one = Nkq({command, "--help"});
        EXPECT_EQ(one.exit_status, 0);
        EXPECT_NE(one.out.find(std::string("nkq ") + command), std::string::npos);
    }
}

TEST_F(NkqProgramTest, UsageErrorsEndWithStatusTwo) {
    for (const auto& arguments :
         std::vector<std::vector<std::string>>{{},
                                               {"fly"},
                                               {"read"},
                                               {"read", "--port"},
                                               {"write", "--port", "x"},
                                               {"write", "--port", "x", "a", "b"},
                                               {"read", "--port", "x", "--speed", "9"},
                                               {"ports", "extra"}}) {
        const auto result = Nkq(arguments);
        EXPECT_EQ(result.exit_status, 2) << ::testing::PrintToString(arguments);
        EXPECT_NE(result.err.find("Usage"), std::string::npos);
    }
}

TEST_F(NkqProgramTest, ReadWritesTheSettingsFileFormAndASummary) {
    ModemSetup setup;
    setup.parameters.Set("APN", "\xE8\xED\xF2\xE5\xF0\xED\xE5\xF2");  // Windows-1251 bytes
    setup.parameters.Set("CSQ", "12,0");
    VirtualModem modem(setup);

    const auto result = Nkq({"read", "--port", modem.DevicePath()});
    ASSERT_EQ(result.exit_status, 0) << result.err;
    EXPECT_NE(result.out.find("MODE 1\r\nDESTIP "), std::string::npos);
    EXPECT_NE(result.out.find("APN \xE8\xED\xF2\xE5\xF0\xED\xE5\xF2\r\n"), std::string::npos);
    EXPECT_EQ(std::count(result.out.begin(), result.out.end(), '\n'), 13);
    EXPECT_NE(result.err.find("Параметры успешно считаны\n"), std::string::npos);
    EXPECT_NE(result.err.find("Уровень сигнала: 3"), std::string::npos);
}

TEST_F(NkqProgramTest, ReadThenWriteCarriesTheParametersToAnotherModem) {
    ModemSetup source_setup;
    source_setup.parameters.Set("MODE", "0");
    source_setup.parameters.Set("SERVERPORT", "7001");
    source_setup.parameters.Set("IPPING4", "172.16.0.9 443");
    source_setup.parameters.Set("APN", "fleet.apn");
    source_setup.parameters.Set("COMRATE", "57600");
    VirtualModem source(source_setup);
    VirtualModem target;

    const fs::path file = dir / "fleet.txt";
    const auto read = Nkq({"read", "--port", source.DevicePath(), "--output", file.string()});
    ASSERT_EQ(read.exit_status, 0) << read.err;
    const auto write = Nkq({"write", "--port", target.DevicePath(), file.string()});
    ASSERT_EQ(write.exit_status, 0) << write.err;
    EXPECT_EQ(write.err, "Параметры успешно записаны\n");

    for (const char* key : {"MODE", "SERVERPORT", "IPPING1", "IPPING4", "IDLETIME", "APN", "COMRATE", "COMFC",
                            "COMBITS", "COMPARITY", "PARITYSELECT", "COMSTOPBIT"})
        EXPECT_EQ(target.Parameters().Get(key), source.Parameters().Get(key)) << key;
    // Reading the target back gives the very same file.
    const auto again = Nkq({"read", "--port", target.DevicePath()});
    EXPECT_EQ(again.out, ReadFile(file));
}

TEST_F(NkqProgramTest, FailuresEndWithStatusOneAndTheOperationsMessages) {
    ModemSetup silent;
    silent.behaviour.silent = true;
    VirtualModem modem(silent);
    const fs::path file = dir / "keep.txt";
    std::ofstream(file, std::ios::binary) << "old";

    const auto timeout = Nkq({"read", "--port", modem.DevicePath(), "--output", file.string()});
    EXPECT_EQ(timeout.exit_status, 1);
    EXPECT_EQ(timeout.err, "Тайм-аут\nОшибка. Проверьте подключение устройства\n");
    EXPECT_EQ(ReadFile(file), "old");  // a failed read replaces nothing

    const auto no_port = Nkq({"read", "--port", "/dev/nkq-no-such-port"});
    EXPECT_EQ(no_port.exit_status, 1);
    EXPECT_EQ(no_port.err, "Unable to open com port (win error code: 2)\n");

    const auto no_file = Nkq({"write", "--port", modem.DevicePath(), (dir / "missing.txt").string()});
    EXPECT_EQ(no_file.exit_status, 1);
    EXPECT_EQ(no_file.err,
              "Cannot open file \"" + (dir / "missing.txt").string() + "\". No such file or directory.\n");
}

TEST_F(NkqProgramTest, PortsListsAVirtualModemReachedThroughALink) {
    ModemSetup setup;
    setup.link_path = "/dev/ttyNKQTEST" + std::to_string(::getpid());
    VirtualModem modem(setup);
    if (modem.LinkPath().empty()) GTEST_SKIP() << "cannot make links in /dev here";

    const auto result = Nkq({"ports"});
    EXPECT_EQ(result.exit_status, 0) << result.err;
    EXPECT_NE(result.out.find(fs::path(setup.link_path).filename().string() + "\n"), std::string::npos)
        << result.out;
}

}  // namespace
}  // namespace nkq::testing
