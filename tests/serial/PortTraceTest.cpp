// The exchange trace: its line form, what a traced port records on a real
// pseudo-terminal, and that ports of several threads can share one file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <thread>
#include <vector>

#include "PtyPair.h"
#include "TestFiles.h"
#include "app/Failure.h"
#include "serial/ComPort.h"
#include "serial/PortTrace.h"

namespace nkq {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing::PtyPair;
using Direction = PortTrace::Direction;

std::vector<std::string> FileLines(const fs::path& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

class PortTraceTest : public ::testing::Test {
protected:
    fs::path TracePath() const { return dir_ / "trace.log"; }

    testing::TempFolder dir_{"trace"};
};

struct TransferCase {
    const char* name;
    long long micros;
    Direction direction;
    std::string bytes;
    const char* expected;
};

TEST(PortTraceFormat, ATransferIsTimeDirectionCountHexAndEscapedText) {
    const std::vector<TransferCase> cases = {
        {"command", 503127, Direction::Sent, "GET\r", "   0.503127 ttyS0 -> 4 | 47 45 54 0d | \"GET\\r\""},
        {"reply", 3512000, Direction::Received, "OK\r\n",
         "   3.512000 ttyS0 <- 4 | 4f 4b 0d 0a | \"OK\\r\\n\""},
        {"silence", 6000000, Direction::Received, "", "   6.000000 ttyS0 <- 0 (nothing arrived)"},
        {"windows-1251 and binary", 0, Direction::Sent, std::string("\xC0\x00\x7F\"\\", 5),
         "   0.000000 ttyS0 -> 5 | c0 00 7f 22 5c | \"\\xc0\\x00\\x7f\\\"\\\\\""},
        {"long run", 123456789000, Direction::Received, "0", "123456.789000 ttyS0 <- 1 | 30 | \"0\""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(
            PortTrace::FormatTransfer(std::chrono::microseconds(c.micros), "ttyS0", c.direction,
                                      reinterpret_cast<const unsigned char*>(c.bytes.data()), c.bytes.size()),
            c.expected)
            << c.name;
    }
}

TEST_F(PortTraceTest, ATracedPortRecordsOpenEveryTransferAndCloseInOrder) {
    PtyPair pty;
    TComPort port(TComPortSetup::System);
    port.SetPort(pty.SlavePath());
    port.Timeouts().SetReadTotalConstant(300);  // the silent read below need not take 3 s
    port.SetTrace(std::make_shared<PortTrace>(TracePath()));

    port.Open();
    port.WriteText("STOP\r");
    EXPECT_EQ(pty.ReadMaster(5, 1s), "STOP\r");
    pty.WriteMaster("READY\r");
    std::string reply;
    EXPECT_EQ(port.ReadText(reply, 6), 6);
    EXPECT_EQ(port.ReadText(reply, 1), 0);
    port.Close();

    const auto lines = FileLines(TracePath());
    ASSERT_EQ(lines.size(), 6u) << ::testing::PrintToString(lines);
    EXPECT_EQ(lines[0].rfind("# nkq port trace started ", 0), 0u);
    const std::string& name = pty.SlavePath();
    EXPECT_TRUE(std::regex_match(lines[1], std::regex(" +0\\.0\\d{5} " + name + " -- open"))) << lines[1];
    EXPECT_NE(lines[2].find(name + " -> 5 | 53 54 4f 50 0d | \"STOP\\r\""), std::string::npos) << lines[2];
    EXPECT_NE(lines[3].find(name + " <- 6 | 52 45 41 44 59 0d | \"READY\\r\""), std::string::npos);
    EXPECT_NE(lines[4].find(name + " <- 0 (nothing arrived)"), std::string::npos);
    EXPECT_NE(lines[5].find(name + " -- close"), std::string::npos);
    // The silent read's line is stamped when its 300 ms had passed.
    const double before = std::stod(lines[3]), after = std::stod(lines[4]);
    EXPECT_GE(after - before, 0.28);
    EXPECT_LT(after - before, 0.6) << "short of a second wait";
}

TEST_F(PortTraceTest, AFailedOpenIsNotedWithThePortsMessage) {
    TComPort port(TComPortSetup::System);
    port.SetPort("/dev/nkq-no-such-port");
    port.SetTrace(std::make_shared<PortTrace>(TracePath()));
    EXPECT_THROW(port.Open(), EComPort);
    const auto lines = FileLines(TracePath());
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(
        lines[1].find("/dev/nkq-no-such-port -- open failed: Unable to open com port (win error code: 2)"),
        std::string::npos)
        << lines[1];
}

TEST_F(PortTraceTest, PortsOfSeveralThreadsShareOneTraceWithoutMixingLines) {
    constexpr int kWrites = 200;
    const auto trace = std::make_shared<PortTrace>(TracePath());
    std::vector<std::unique_ptr<PtyPair>> ptys;
    std::vector<std::thread> threads;
    for (int i = 0; i < 3; ++i) ptys.push_back(std::make_unique<PtyPair>());
    for (int i = 0; i < 3; ++i) {
        threads.emplace_back([&, i] {
            TComPort port(TComPortSetup::System);
            port.SetPort(ptys[i]->SlavePath());
            port.SetTrace(trace);
            port.Open();
            for (int n = 0; n < kWrites; ++n) port.WriteText("LINE " + std::to_string(n) + "\r");
            port.Close();
        });
    }
    // The pty's buffer is small: keep draining while the threads write.
    std::vector<std::thread> drains;
    for (int i = 0; i < 3; ++i) drains.emplace_back([&, i] { ptys[i]->ReadMaster(1u << 20, 2s); });
    for (auto& thread : threads) thread.join();
    for (auto& drain : drains) drain.join();

    const auto lines = FileLines(TracePath());
    ASSERT_EQ(lines.size(), 1u + 3u * (kWrites + 2));
    const std::regex transfer(" +\\d+\\.\\d{6} /dev/pts/\\d+ -> \\d+ \\| [0-9a-f ]+ \\| \"LINE \\d+\\\\r\"");
    const std::regex note(" +\\d+\\.\\d{6} /dev/pts/\\d+ -- (open|close)");
    for (std::size_t i = 1; i < lines.size(); ++i)
        EXPECT_TRUE(std::regex_match(lines[i], transfer) || std::regex_match(lines[i], note)) << lines[i];
}

TEST_F(PortTraceTest, TheEnvironmentSwitchesTheWindowsTraceOnOnlyWhenItNamesAFile) {
    const auto set = [](const char* value) {
        if (value) {
            ::setenv("NKQ_TRACE", value, 1);
        } else {
            ::unsetenv("NKQ_TRACE");
        }
    };
    set(nullptr);
    EXPECT_EQ(PortTraceFromEnvironment(), nullptr);
    set("");
    EXPECT_EQ(PortTraceFromEnvironment(), nullptr);
    set((dir_ / "no-such-folder" / "trace.log").c_str());
    EXPECT_EQ(PortTraceFromEnvironment(), nullptr) << "an unusable file leaves the trace off";
    set(TracePath().c_str());
    const auto trace = PortTraceFromEnvironment();
    ASSERT_NE(trace, nullptr);
    EXPECT_EQ(trace->Path(), TracePath());
    EXPECT_TRUE(fs::exists(TracePath()));
    set(nullptr);
}

TEST_F(PortTraceTest, AnUnwritableTraceFileRaisesTheFileCreateFailure) {
    EXPECT_THROW(PortTrace(dir_ / "missing" / "trace.log"), EFCreateError);
}

TEST_F(PortTraceTest, SuccessiveRunsAppendToTheSameFile) {
    {
        PortTrace first(TracePath());
        first.Note("ttyS0", "first run");
    }
    {
        PortTrace second(TracePath());
        second.Note("ttyS0", "second run");
    }
    const auto lines = FileLines(TracePath());
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_NE(lines[1].find("first run"), std::string::npos);
    EXPECT_EQ(lines[2].rfind("# nkq port trace started", 0), 0u);
    EXPECT_NE(lines[3].find("second run"), std::string::npos);
}

}  // namespace
}  // namespace nkq
