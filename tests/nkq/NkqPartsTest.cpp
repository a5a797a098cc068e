// The pieces of nkq that have rules of their own: the advice for a port that
// will not open, the result table of a batch, the shared console of several
// ports, and the command line's global options.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

#include "Arguments.h"
#include "ManyPorts.h"
#include "PortAdvice.h"
#include "PortConsole.h"
#include "PortOperator.h"

namespace nkq::cli {
namespace {

namespace fs = std::filesystem;

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

struct AdviceCase {
    int error_number;
    std::vector<std::string> expected;  // empty: no advice at all
};

#ifdef _WIN32
constexpr const char* kAdvisedDevice = "\\\\.\\COM7";
const std::vector<AdviceCase> kAdviceCases = {
    {5, {"Hint: ", "another program holds \\\\.\\COM7", "try again"}},  // ERROR_ACCESS_DENIED
    {32, {"another program holds"}},                                    // ERROR_SHARING_VIOLATION
    {2, {}},                                                            // ERROR_FILE_NOT_FOUND
    {31, {}},                                                           // ERROR_GEN_FAILURE
};
#else
constexpr const char* kAdvisedDevice = "/dev/ttyUSB0";
const std::vector<AdviceCase> kAdviceCases = {
    {EACCES, {"Hint: ", "/dev/ttyUSB0", "sudo usermod -aG dialout $USER", "log out and in again"}},
    {EPERM, {"sudo usermod -aG dialout $USER"}},
    {EBUSY,
     {"Hint: ", "fuser -v /dev/ttyUSB0", "lsof /dev/ttyUSB0", "ModemManager",
      "sudo systemctl stop ModemManager", "ENV{ID_MM_DEVICE_IGNORE}=\"1\""}},
    {EWOULDBLOCK, {"fuser -v /dev/ttyUSB0", "ModemManager"}},
    {ENOENT, {}},
    {EIO, {}},
};
#endif

TEST(PortAdvice, EachOpenFailureGetsTheAdviceThatFitsIt) {
    for (const auto& c : kAdviceCases) {
        const std::string advice = OpenFailureAdvice(c.error_number, kAdvisedDevice);
        if (c.expected.empty()) {
            EXPECT_EQ(advice, "") << c.error_number;
        }
        for (const auto& part : c.expected)
            EXPECT_TRUE(Contains(advice, part)) << c.error_number << ": " << part;
        EXPECT_FALSE(Contains(advice, "\n")) << "one line";
    }
}

TEST(ResultTable, ColumnsLineUpWithRussianMessages) {
    const std::vector<PortOutcome> outcomes = {
        {"/dev/pts/3", true, {"Параметры успешно записаны"}, std::chrono::milliseconds(2140)},
        {"ttyUSB10",
         false,
         {"Ошибка записи CMD", "Ошибка. Проверьте подключение устройства"},
         std::chrono::milliseconds(560)},
        {"ttyS0", false, {}, std::chrono::milliseconds(0)},
    };
    const std::string table = ResultTable(outcomes);
    EXPECT_EQ(table,
              "PORT        RESULT                                                       TIME\n"
              "/dev/pts/3  ok                                                           2.1 s\n"
              "ttyUSB10    Ошибка записи CMD; Ошибка. Проверьте подключение устройства  0.6 s\n"
              "ttyS0       failed                                                       0.0 s\n");
}

TEST(ArgumentsTest, TraceIsAGlobalOptionAndPortsMayRepeat) {
    const Arguments read = ParseArguments(
        {"--trace", "t.log", "read", "--port", "ttyUSB0", "--port", "ttyUSB1", "--output-dir", "out"});
    EXPECT_EQ(read.trace, "t.log");
    EXPECT_EQ(read.command, "read");
    EXPECT_EQ(read.ports, (std::vector<std::string>{"ttyUSB0", "ttyUSB1"}));
    EXPECT_EQ(read.output_dir, "out");

    const Arguments single = ParseArguments({"read", "--port", "ttyUSB0"});
    EXPECT_FALSE(single.trace);
    EXPECT_FALSE(single.output_dir);

    const Arguments flash = ParseArguments({"flash", "--port", "a", "--port", "b", "--yes", "image.mfw"});
    EXPECT_EQ(flash.ports.size(), 2u);
    EXPECT_TRUE(ParseArguments({"--trace", "t.log", "--help"}).help);
#ifdef _WIN32
    EXPECT_THROW(ParseArguments({"read", "--port", "COM7", "--port", "\\\\.\\COM7", "--output-dir", "d"}),
                 UsageError);
#else
    EXPECT_THROW(ParseArguments({"read", "--port", "a", "--port", "/dev/a", "--output-dir", "d"}),
                 UsageError);
#endif
    EXPECT_THROW(ParseArguments({"read", "--port", "pts/3", "--port", "pts-3", "--output-dir", "d"}),
                 UsageError)
        << "two ports, one file";
}

// A console writing to a real file, as when standard error is a log.
class PortConsoleTest : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = fs::temp_directory_path() / ("nkq-console-" + std::to_string(::getpid()) + "-" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        file_ = std::fopen(path_.string().c_str(), "w+");
        ASSERT_NE(file_, nullptr);
    }
    void TearDown() override {
        std::fclose(file_);
        fs::remove(path_);
    }
    std::vector<std::string> Lines() {
        std::fflush(file_);
        std::ifstream in(path_);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }

    fs::path path_;
    std::FILE* file_ = nullptr;
};

TEST_F(PortConsoleTest, LinesOfManyThreadsStayWholeAndCarryTheirPort) {
    constexpr int kLines = 300;
    PortConsole console(file_);
    {
        std::vector<std::jthread> threads;
        for (int t = 0; t < 4; ++t)
            threads.emplace_back([&console, t] {
                PortOperator op(console, "ttyUSB" + std::to_string(t), true);
                for (int n = 0; n < kLines; ++n) op.InformOperator("Сообщение номер " + std::to_string(n));
            });
    }
    const auto lines = Lines();
    ASSERT_EQ(lines.size(), 4u * kLines);
    const std::regex whole("ttyUSB[0-3]: Сообщение номер \\d+");
    for (const auto& line : lines) EXPECT_TRUE(std::regex_match(line, whole)) << line;
}

TEST_F(PortConsoleTest, AnOperatorKeepsItsMessagesAndAnswersTheBatchAnswer) {
    PortConsole console(file_);
    PortOperator yes(console, "ttyUSB0", true), no(console, "ttyUSB1", false);
    EXPECT_TRUE(yes.AskYesNo("Вы уверены?", "Вопрос"));
    EXPECT_FALSE(no.AskYesNo("Вы уверены?", "Вопрос"));
    yes.InformOperator("Тайм-аут");
    yes.Print("Hint: not kept");
    yes.InformOperator("Unable to open com port (win error code: 2)");
    EXPECT_EQ(yes.Messages(),
              (std::vector<std::string>{"Тайм-аут", "Unable to open com port (win error code: 2)"}));
    EXPECT_EQ(Lines(),
              (std::vector<std::string>{"ttyUSB0: Вопрос: Вы уверены? yes", "ttyUSB1: Вопрос: Вы уверены? no",
                                        "ttyUSB0: Тайм-аут", "ttyUSB0: Hint: not kept",
                                        "ttyUSB0: Unable to open com port (win error code: 2)"}));
}

TEST_F(PortConsoleTest, ProgressInALogIsALinePerPortAtTheEnd) {
    PortConsole console(file_);
    PortOperator first(console, "ttyUSB0", true), second(console, "ttyUSB1", true);
    first.SetProgressTotal(50);
    second.SetProgressTotal(20);
    for (int n = 0; n < 50; ++n) {
        first.AdvanceProgress();
        if (n < 20) second.AdvanceProgress();
    }
    // The blocks go by faster than a second: only the final lines are due.
    const auto lines = Lines();
    ASSERT_EQ(lines.size(), 2u) << ::testing::PrintToString(lines);
    EXPECT_EQ(lines[0].rfind("ttyUSB1: 100%  20/20 blocks  ", 0), 0u) << lines[0];
    EXPECT_EQ(lines[1].rfind("ttyUSB0: 100%  50/50 blocks  ", 0), 0u) << lines[1];
}

}  // namespace
}  // namespace nkq::cli
