// nkq on several modems at once, its exchange trace and its advice when a
// port cannot be opened: the real program, real pseudo-terminals and
// virtual modems at the other end.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "NkqRun.h"
#include "Timing.h"
#include "VirtualModem.h"
#include "serial/ComPort.h"

namespace nkq::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// The table row of one port: its line on standard output.
std::string RowOf(const std::string& table, const std::string& port) {
    for (const auto& line : SplitLines(table))
        if (line.rfind(port + " ", 0) == 0) return line;
    return {};
}

class NkqManyPortsTest : public NkqTest {
protected:
    // Every line a server-mode write sends (17): a write refuses anything less.
    std::string SettingsFile() const {
        std::string lines = "MODE 0\r\nSERVERPORT 7001\r\n";
        for (int pair = 1; pair <= 5; ++pair) lines += "IPPING" + std::to_string(pair) + " 0.0.0.0 0\r\n";
        return File("batch.txt",
                    lines +
                        "IDLETIME 5\r\nAPN fleet.apn\r\nLOGIN \r\nPASSWORD \r\nCOMRATE 57600\r\n"
                        "COMFC 0\r\nCOMBITS 8\r\nCOMPARITY 0\r\nPARITYSELECT 0\r\nCOMSTOPBIT 0\r\n");
    }
};

// Each line of standard error belongs to exactly one port, whole.
void ExpectEveryLineOfOnePort(const std::string& err, const Lines& ports) {
    for (const auto& line : SplitLines(err)) {
        int owners = 0;
        for (const auto& port : ports) owners += line.rfind(port + ": ", 0) == 0 ? 1 : 0;
        EXPECT_EQ(owners, 1) << line;
    }
}

TEST_F(NkqManyPortsTest, WriteRunsOnEveryPortAtOnceAndTablesTheOutcome) {
    ModemSetup slow;
    slow.behaviour.reply_delay = 100ms;
    // The pause after STOP and 19 answers (READY, 17 lines, SAVE), each late:
    // the least one write takes, so two one after the other take twice that.
    constexpr auto kOneWrite = 500ms + 19 * 100ms;
    ModemSetup refusing = slow;
    refusing.behaviour.refuse_cmd = true;
    VirtualModem first(slow), second(slow), third(refusing);
    const std::string file = SettingsFile();

    ProgramResult result;
    const auto took = Timed([&] {
        result = Nkq({"write", "--port", first.DevicePath(), "--port", second.DevicePath(), "--port",
                      third.DevicePath(), file});
    });

    EXPECT_EQ(result.exit_status, 1);
    const Lines table = SplitLines(result.out);
    ASSERT_EQ(table.size(), 4u) << result.out;
    EXPECT_TRUE(std::regex_match(table[0], std::regex("PORT +RESULT +TIME")));
    EXPECT_TRUE(std::regex_match(RowOf(result.out, first.DevicePath()), std::regex(".* ok +\\d+\\.\\d s")));
    EXPECT_TRUE(std::regex_match(RowOf(result.out, second.DevicePath()), std::regex(".* ok +\\d+\\.\\d s")));
    const std::string failed = RowOf(result.out, third.DevicePath());
    EXPECT_TRUE(Contains(failed, "Ошибка записи CMD; Ошибка. Проверьте подключение устройства")) << failed;
    EXPECT_TRUE(Contains(result.err, third.DevicePath() + ": Ошибка записи CMD\n"));
    EXPECT_TRUE(Contains(result.err, first.DevicePath() + ": Параметры успешно записаны\n"));
    ExpectEveryLineOfOnePort(result.err, {first.DevicePath(), second.DevicePath(), third.DevicePath()});

    for (const VirtualModem* modem : {&first, &second}) {
        EXPECT_EQ(modem->Parameters().Get("MODE"), "0");
        EXPECT_EQ(modem->Parameters().Get("SERVERPORT"), "7001");
        EXPECT_EQ(modem->Parameters().Get("APN"), "fleet.apn");
        EXPECT_EQ(modem->Parameters().Get("COMRATE"), "57600");
    }
    EXPECT_EQ(third.Parameters().Get("APN"), ModemParameters::Defaults().Get("APN"));
    EXPECT_LT(took, 2 * kOneWrite) << "the ports ran one after the other";
}

TEST_F(NkqManyPortsTest, ReadWritesOneFilePerPortAndNoneForAFailedPort) {
    ModemSetup silent;
    silent.behaviour.silent = true;
    VirtualModem good, other, mute(silent);
    const fs::path out = dir / "read";
    const auto result = Nkq({"read", "--port", good.DevicePath(), "--port", other.DevicePath(), "--port",
                             mute.DevicePath(), "--output-dir", out.string()});
    EXPECT_EQ(result.exit_status, 1);
    const auto name = [](const VirtualModem& modem) {
        return "pts-" + fs::path(modem.DevicePath()).filename().string() + ".txt";
    };
    const auto single = Nkq({"read", "--port", good.DevicePath()});
    ASSERT_EQ(single.exit_status, 0);
    EXPECT_EQ(ReadFile(out / name(good)), single.out) << "the same file the single read prints";
    EXPECT_TRUE(fs::exists(out / name(other)));
    EXPECT_FALSE(fs::exists(out / name(mute)));
    EXPECT_TRUE(
        Contains(RowOf(result.out, mute.DevicePath()), "Тайм-аут; Ошибка. Проверьте подключение устройства"));
    EXPECT_TRUE(Contains(result.err, good.DevicePath() + ": Уровень сигнала: "));
    ExpectEveryLineOfOnePort(result.err, {good.DevicePath(), other.DevicePath(), mute.DevicePath()});
}

TEST_F(NkqManyPortsTest, FlashLoadsEveryModemWithOneProgressLinePerPort) {
    ModemSetup setup;
    setup.behaviour.reply_delay = 20ms;
    VirtualModem first(setup), second(setup);
    std::string image(30 * 512, '\0');
    for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<char>(i * 7);
    std::ofstream(dir / "image.mfw", std::ios::binary) << image;

    const auto result = Nkq({"flash", "--yes", "--port", first.DevicePath(), "--port", second.DevicePath(),
                             (dir / "image.mfw").string()});
    ASSERT_EQ(result.exit_status, 0) << result.err;
    EXPECT_EQ(first.FirmwareImage(), image);
    EXPECT_EQ(second.FirmwareImage(), image);
    EXPECT_FALSE(Contains(result.err, "\r")) << "a log gets lines, not a redrawn block";
    for (const VirtualModem* modem : {&first, &second})
        EXPECT_TRUE(Contains(result.err, modem->DevicePath() + ": 100%  30/30 blocks  ")) << result.err;
    EXPECT_TRUE(Contains(result.err, "Вопрос: Вы собираетесь обновить ПО устройства. Вы уверены? yes\n"));
}

TEST_F(NkqManyPortsTest, CommandLinesThatCannotRunOnSeveralPortsEndWithStatusTwo) {
    for (const auto& arguments : std::vector<std::vector<std::string>>{
             {"read", "--port", "a", "--port", "b"},
             {"read", "--port", "a", "--port", "b", "--output", "x"},
             {"read", "--port", "a", "--output", "x", "--output-dir", "d"},
             {"read", "--port", "ttyS0", "--port", "/dev/ttyS0", "--output-dir", "d"},
             {"write", "--port", "a", "--port", "a", "file"},
             {"write", "--port", "/dev/../dev/tty", "--port", "/dev/tty", "file"},
             {"read", "--port", ""},
             {"status", "--port", "a", "--port", "b"},
             {"--trace"},
             {"--trace", "t.log"},
             {"write", "--trace", "t.log", "--port", "a", "file"}}) {
        const auto result = Nkq(arguments);
        EXPECT_EQ(result.exit_status, 2) << ::testing::PrintToString(arguments);
        EXPECT_TRUE(Contains(result.err, "Usage")) << ::testing::PrintToString(arguments);
    }
}

TEST_F(NkqManyPortsTest, ATraceOfAReadShowsTheExchangeInOrderWithItsPauses) {
    VirtualModem modem;
    const fs::path trace = dir / "trace.log";
    const auto result = Nkq({"--trace", trace.string(), "read", "--port", modem.DevicePath()});
    ASSERT_EQ(result.exit_status, 0) << result.err;
    EXPECT_EQ(result.err.rfind("Параметры успешно считаны\n", 0), 0u)
        << "the trace adds nothing to the output";

    const Lines lines = SplitLines(ReadFile(trace));
    const std::size_t stop = FindTransfer(lines, "->", "\"STOP\\r\"", 0);
    const std::size_t get = FindTransfer(lines, "->", "\"GET\\r\"", stop);
    const std::size_t reply = FindTransfer(lines, "<-", "OK\\r\\n\"", get);
    const std::size_t start = FindTransfer(lines, "->", "\"START\\r\"", reply);
    ASSERT_LT(start, lines.size()) << ReadFile(trace);
    for (std::size_t i : {stop, get, reply, start}) EXPECT_TRUE(Contains(lines[i], modem.DevicePath()));
    EXPECT_TRUE(Contains(lines[reply], "\"MODE 1\\r\\n")) << lines[reply];

    // The trace stamps each transfer where it happens: the pause after STOP
    // and the first wait for the reply, each short of a second one.
    const double at_stop = std::stod(lines[stop]), at_get = std::stod(lines[get]);
    const double at_reply = std::stod(lines[reply]), at_start = std::stod(lines[start]);
    EXPECT_GE(at_get - at_stop, 0.49);
    EXPECT_LT(at_get - at_stop, 1.0);
    EXPECT_GE(at_reply - at_get, 2.9);
    EXPECT_LT(at_reply - at_get, 6.0);
    EXPECT_GE(at_start, at_reply);
}

TEST_F(NkqManyPortsTest, ATraceFileThatCannotBeMadeStopsBeforeThePortIsTouched) {
    VirtualModem modem;
    const auto result =
        Nkq({"--trace", (dir / "none" / "t.log").string(), "read", "--port", modem.DevicePath()});
    EXPECT_EQ(result.exit_status, 1);
    EXPECT_TRUE(Contains(result.err, "Cannot create file")) << result.err;
    std::this_thread::sleep_for(100ms);  // the modem reads on its own thread
    EXPECT_EQ(modem.ReceivedBytes(), "");
}

TEST_F(NkqManyPortsTest, APortHeldByAnotherProgramGetsAdviceAfterItsMessage) {
    VirtualModem modem;
    TComPort holder(TComPortSetup::System);
    holder.SetPort(modem.DevicePath());
    holder.Open();

    const auto single = Nkq({"read", "--port", modem.DevicePath()});
    EXPECT_EQ(single.exit_status, 1);
    const Lines lines = SplitLines(single.err);
    ASSERT_EQ(lines.size(), 2u) << single.err;
    EXPECT_TRUE(std::regex_match(lines[0], std::regex("Unable to open com port \\(win error code: \\d+\\)")));
    EXPECT_EQ(lines[1].rfind("Hint: ", 0), 0u);
    for (const std::string& part :
         Lines{"fuser -v " + modem.DevicePath(), "lsof " + modem.DevicePath(),
               "sudo systemctl stop ModemManager", "ENV{ID_MM_DEVICE_IGNORE}=\"1\""})
        EXPECT_TRUE(Contains(lines[1], part)) << part;

    VirtualModem free_modem;
    const auto many =
        Nkq({"write", "--port", modem.DevicePath(), "--port", free_modem.DevicePath(), SettingsFile()});
    EXPECT_EQ(many.exit_status, 1);
    EXPECT_TRUE(Contains(many.err, modem.DevicePath() + ": Hint: another program holds")) << many.err;
    EXPECT_TRUE(Contains(RowOf(many.out, modem.DevicePath()), "Unable to open com port"));
    EXPECT_TRUE(Contains(RowOf(many.out, free_modem.DevicePath()), " ok "));
}

}  // namespace
}  // namespace nkq::testing
