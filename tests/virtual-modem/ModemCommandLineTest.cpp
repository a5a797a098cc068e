#include "ModemCommandLine.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <functional>

namespace nkq {
namespace {

using namespace std::chrono_literals;

struct SwitchCase {
    std::vector<std::string> arguments;
    std::function<bool(const ModemBehaviour&)> holds;
};

void PrintTo(const SwitchCase& item, std::ostream* out) { *out << ::testing::PrintToString(item.arguments); }

class SwitchTest : public ::testing::TestWithParam<SwitchCase> {};

TEST_P(SwitchTest, SwitchSetsItsBehaviour) {
    const auto line = ParseModemCommandLine(GetParam().arguments);
    EXPECT_TRUE(GetParam().holds(line.setup.behaviour)) << ::testing::PrintToString(GetParam().arguments);
    EXPECT_FALSE(GetParam().holds(ModemBehaviour{})) << "the default must differ";
}

INSTANTIATE_TEST_SUITE_P(
    Switches, SwitchTest,
    ::testing::Values(
        SwitchCase{{"--silent"}, [](const auto& b) { return b.silent; }},
        SwitchCase{{"--delay", "250"}, [](const auto& b) { return b.reply_delay == 250ms; }},
        SwitchCase{{"--burst-gap", "150", "--burst-split", "20"},
                   [](const auto& b) { return b.burst_gap == 150ms && b.burst_split == 20u; }},
        SwitchCase{{"--rs485"}, [](const auto& b) { return b.rs485; }},
        SwitchCase{{"--acks-byte-by-byte"}, [](const auto& b) { return b.acks_byte_by_byte; }},
        SwitchCase{{"--unlisted", "LOGIN", "--unlisted", "APN"},
                   [](const auto& b) {
                       return b.unlisted_keys == std::vector<std::string>{"LOGIN", "APN"};
                   }},
        SwitchCase{{"--refuse-cmd"}, [](const auto& b) { return b.refuse_cmd; }},
        SwitchCase{{"--reject-key", "APN"}, [](const auto& b) { return b.reject_key == "APN"; }},
        SwitchCase{{"--bad-save"}, [](const auto& b) { return b.bad_save; }},
        SwitchCase{{"--nak-block", "3", "--nak-times", "5"},
                   [](const auto& b) { return b.nak_block == 3 && b.nak_times == 5; }},
        SwitchCase{{"--bad-ack-block", "2", "--bad-ack-byte", "X"},
                   [](const auto& b) { return b.bad_ack_block == 2 && b.bad_ack_byte == 'X'; }},
        SwitchCase{{"--no-update-reply"}, [](const auto& b) { return b.no_update_reply; }},
        SwitchCase{{"--no-start-reply"}, [](const auto& b) { return b.no_start_reply; }},
        SwitchCase{{"--no-count-reply"}, [](const auto& b) { return b.no_count_reply; }},
        SwitchCase{{"--repeat-line-ack", "3", "--repeat-delay", "150"},
                   [](const auto& b) { return b.repeat_line_ack == 3 && b.repeat_delay == 150ms; }},
        SwitchCase{{"--repeat-ready"}, [](const auto& b) { return b.repeat_ready; }},
        SwitchCase{{"--repeat-save"}, [](const auto& b) { return b.repeat_save; }},
        SwitchCase{{"--repeat-count-ack"}, [](const auto& b) { return b.repeat_count_ack; }},
        SwitchCase{{"--repeat-block-ack", "2"}, [](const auto& b) { return b.repeat_block_ack == 2; }},
        SwitchCase{{"--endless-reply", "--endless-limit", "900"},
                   [](const auto& b) { return b.endless_reply && b.endless_limit == 900ms; }},
        SwitchCase{{"--hangup-get-bytes", "40"},
                   [](const auto& b) { return b.hang_up_after_get_bytes == 40u; }},
        SwitchCase{{"--hangup-lines", "4"}, [](const auto& b) { return b.hang_up_after_lines == 4; }},
        SwitchCase{{"--hangup-packets", "2"}, [](const auto& b) { return b.hang_up_after_packets == 2; }},
        SwitchCase{{"--real-speed"}, [](const auto& b) { return b.real_speed; }},
        SwitchCase{{"--connection", "1.2.3.4:5", "--connection", "6.7.8.9:10"},
                   [](const auto& b) {
                       return b.connections == std::vector<std::string>{"1.2.3.4:5", "6.7.8.9:10"};
                   }},
        SwitchCase{{"--hangup-linger", "50"}, [](const auto& b) { return b.hang_up_linger == 50ms; }},
        SwitchCase{{"--no-connections"}, [](const auto& b) { return b.connections.empty(); }}),
    [](const auto& info) {
        std::string name;
        for (const char c : info.param.arguments.front()) {
            if (std::isalnum(static_cast<unsigned char>(c))) name += c;
        }
        return name;
    });

class UsageErrorTest : public ::testing::TestWithParam<std::vector<std::string>> {};

TEST_P(UsageErrorTest, IsReportedAsUsageError) { EXPECT_THROW(ParseModemCommandLine(GetParam()), EUsage); }

INSTANTIATE_TEST_SUITE_P(Errors, UsageErrorTest,
                         ::testing::Values(std::vector<std::string>{"--bogus"},
                                           std::vector<std::string>{"--delay"},
                                           std::vector<std::string>{"--delay", "soon"},
                                           std::vector<std::string>{"--delay", "-5"},
                                           std::vector<std::string>{"--bad-ack-byte", "22"},
                                           std::vector<std::string>{"/dev/ttyS0"}));

TEST(ModemCommandLineTest, ParametersComeFromDefaultsThenFileThenSingleSwitches) {
    const auto path = std::filesystem::temp_directory_path() / ("vmodem-cli-" + std::to_string(getpid()));
    std::ofstream(path, std::ios::binary) << "MODE 0\r\nAPN from.file\r\n";
    const auto line = ParseModemCommandLine({"--params", path.string(), "--param", "APN from.switch",
                                             "--link", "/tmp/ttyX", "--trace", "/tmp/t"});
    std::filesystem::remove(path);
    EXPECT_EQ(line.setup.parameters.Get("MODE"), "0");
    EXPECT_EQ(line.setup.parameters.Get("APN"), "from.switch");
    EXPECT_EQ(line.setup.parameters.Get("NAME"), ModemParameters::Defaults().Get("NAME"));
    EXPECT_EQ(line.setup.link_path, "/tmp/ttyX");
    EXPECT_EQ(line.setup.trace_path, "/tmp/t");
    EXPECT_THROW(ParseModemCommandLine({"--params", path.string()}), EFOpenError);
}

TEST(ModemCommandLineTest, HelpListsEverySwitch) {
    EXPECT_TRUE(ParseModemCommandLine({"--help"}).show_help);
    const std::string usage = ModemUsageText("nkq-virtual-modem");
    for (const char* name : {"--help",
                             "--link",
                             "--trace",
                             "--params",
                             "--param",
                             "--silent",
                             "--delay",
                             "--burst-gap",
                             "--burst-split",
                             "--rs485",
                             "--refuse-cmd",
                             "--reject-key",
                             "--bad-save",
                             "--nak-block",
                             "--nak-times",
                             "--bad-ack-block",
                             "--bad-ack-byte",
                             "--no-update-reply",
                             "--no-start-reply",
                             "--no-count-reply",
                             "--repeat-delay",
                             "--repeat-line-ack",
                             "--repeat-ready",
                             "--repeat-save",
                             "--repeat-count-ack",
                             "--repeat-block-ack",
                             "--endless-reply",
                             "--endless-limit",
                             "--hangup-get-bytes",
                             "--hangup-lines",
                             "--hangup-packets",
                             "--hangup-linger",
                             "--real-speed",
                             "--connection",
                             "--no-connections"}) {
        EXPECT_NE(usage.find(std::string("  ") + name + " "), std::string::npos) << name;
    }
}

}  // namespace
}  // namespace nkq
