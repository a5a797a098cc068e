// nkq as a script relies on it: refused settings files, checking a modem
// against a file, replies without parameters, output errors and modem text
// that must not reach the terminal raw. The real program against the
// virtual modem.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "NkqRun.h"
#include "VirtualModem.h"

namespace nkq::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

constexpr const char* kClientFile =
    "MODE 1\r\nDESTIP 10.0.0.7\r\nDESTPORT 5001\r\nIDLETIME 5\r\nAPN fleet\r\nLOGIN \r\nPASSWORD secret\r\n"
    "COMRATE 9600\r\nCOMFC 0\r\nCOMBITS 8\r\nCOMPARITY 0\r\nPARITYSELECT 0\r\nCOMSTOPBIT 0\r\n";

// nkq with its standard output redirected by the shell, as `nkq read > f`.
ProgramResult NkqRedirected(const std::string& arguments, const std::string& redirection) {
    return RunProgram("/bin/sh",
                      {"-c", "exec " + std::string(NKQ_PROGRAM) + " " + arguments + " " + redirection});
}

using NkqScriptTest = NkqTest;

struct RefusedFile {
    std::string name;
    std::string bytes;
    std::string problem;  // a part of the line that names the problem
    bool merge = false;
};

// Test names carry the case's name, never its bytes.
void PrintTo(const RefusedFile& file, std::ostream* out) { *out << file.name; }

class NkqRefusedFileTest : public NkqScriptTest, public ::testing::WithParamInterface<RefusedFile> {};

// Nothing at all reaches the modem, and every problem names its line.
TEST_P(NkqRefusedFileTest, WriteSendsNothingAndNamesTheProblem) {
    VirtualModem modem;
    const std::string file = File("settings.txt", GetParam().bytes);
    std::vector<std::string> arguments{"write", "--port", modem.DevicePath(), file};
    if (GetParam().merge) arguments.insert(arguments.begin() + 1, "--merge");
    const auto result = Nkq(arguments);
    EXPECT_EQ(result.exit_status, 1);
    EXPECT_TRUE(Contains(result.err, file + GetParam().problem)) << result.err;
    EXPECT_FALSE(Contains(result.err, "Параметры успешно записаны"));
    EXPECT_EQ(modem.ReceivedBytes(), "");
}

const std::string kComplete = kClientFile;

INSTANTIATE_TEST_SUITE_P(
    Files, NkqRefusedFileTest,
    ::testing::Values(
        RefusedFile{"Empty", "", ": no line for MODE, DESTIP, DESTPORT, IDLETIME, APN, LOGIN, PASSWORD"},
        RefusedFile{"Utf16", "\xFF\xFEM\0O\0D\0E\0 \0001\0"s, ":1: \""},
        RefusedFile{"Binary", "\177ELF\2\1\1\0\0\0\r\n"s + kComplete,
                    ":1: \"^?ELF^B^A^A^@^@^@\": \"^?ELF^B^A^A^@^@^@\" is not a parameter key"},
        RefusedFile{"LowercaseKey", kComplete + "apn x\r\n",
                    ":14: \"apn x\": \"apn\" is not a parameter key"},
        RefusedFile{"KeyAsPrefix", kComplete + "MODEM 2\r\n", ":14: \"MODEM 2\": \"MODEM\" is not"},
        RefusedFile{"LongerKey", kComplete + "APNX evil\r\n", ":14: \"APNX evil\""},
        RefusedFile{"RateNotInList", "COMRATE 14400\r\n" + kComplete,
                    ":1: \"COMRATE 14400\": the value would be sent as \"1200\""},
        RefusedFile{"BitsOutOfList", "COMBITS 9\r\n", ":1: \"COMBITS 9\": the value would be sent as \"4\"",
                    true},
        RefusedFile{"NoAddress", "DESTIP 999.1.1.1\r\n",
                    ":1: \"DESTIP 999.1.1.1\": the value would be sent as \"231.1.1.1\"", true},
        RefusedFile{"UnknownMode", "MODE 7\r\n", ":1: \"MODE 7\": the value would be sent as \"1\"", true},
        RefusedFile{"PortOutOfRange", "DESTPORT 70000\r\n",
                    ":1: \"DESTPORT 70000\": port \"70000\" is not a whole number", true},
        RefusedFile{"KeySetTwice", "APN a\r\nAPN b\r\n", ":2: \"APN b\": APN is set on line 1 already", true},
        RefusedFile{"ReadOnlyKey", "NAME x\r\n", ":1: \"NAME x\": NAME is never written to a modem", true},
        RefusedFile{"OtherModesLine", "MODE 2\r\nDESTIP 10.0.0.1\r\n",
                    ":2: \"DESTIP 10.0.0.1\": DESTIP is not sent in modem mode"},
        RefusedFile{"PartialWithoutMerge", "APN fleet\r\n", ": no line for MODE, DESTIP"}),
    [](const ::testing::TestParamInfo<RefusedFile>& info) { return info.param.name; });

TEST_F(NkqScriptTest, MergeChangesOnlyWhatTheFileNames) {
    ModemSetup setup;
    setup.parameters.Set("MODE", "0");
    setup.parameters.Set("SERVERPORT", "7001");
    VirtualModem modem(setup);
    const auto result =
        Nkq({"write", "--merge", "--port", modem.DevicePath(), File("apn.txt", "APN merged\r\n")});
    ASSERT_EQ(result.exit_status, 0) << result.err;
    EXPECT_EQ(modem.Parameters().Get("APN"), "merged");
    for (const char* key : {"MODE", "SERVERPORT", "IPPING1", "COMRATE", "IDLETIME"})
        EXPECT_EQ(modem.Parameters().Get(key), setup.parameters.Get(key)) << key;
}

TEST_F(NkqScriptTest, VerifyAgreesThenNamesTheChangedKeyWithoutShowingPasswords) {
    VirtualModem modem;
    // Written by an editor that puts a byte-order mark first: still the same file.
    const std::string file = File("client.txt", "\xEF\xBB\xBF" + std::string(kClientFile));
    ASSERT_EQ(Nkq({"write", "--verify", "--port", modem.DevicePath(), file}).exit_status, 0);
    const auto same = Nkq({"verify", "--port", modem.DevicePath(), file});
    EXPECT_EQ(same.exit_status, 0) << same.err;
    EXPECT_EQ(same.out, "");

    auto changed = modem.Parameters();
    changed.Set("APN", "other");
    changed.Set("PASSWORD", "guessed");
    modem.SetParameters(changed);
    const auto differs = Nkq({"verify", "--port", modem.DevicePath(), file});
    EXPECT_EQ(differs.exit_status, 1);
    EXPECT_EQ(differs.out,
              "KEY       FILE      MODEM\n"
              "APN       fleet     other\n"
              "PASSWORD  (hidden)  (hidden)\n");
    EXPECT_TRUE(Contains(differs.err, "2 keys differ: APN, PASSWORD\n")) << differs.err;
    EXPECT_FALSE(Contains(differs.out + differs.err, "secret"));
    EXPECT_FALSE(Contains(differs.out + differs.err, "guessed"));
}

TEST_F(NkqScriptTest, WriteVerifyFailsWhenTheModemDoesNotKeepALine) {
    ModemSetup setup;
    setup.behaviour.rs485 = true;  // acknowledges flow control without keeping it
    VirtualModem modem(setup);
    std::string file = kClientFile;
    file.replace(file.find("COMFC 0"), 7, "COMFC 1");
    const auto result = Nkq({"write", "--verify", "--port", modem.DevicePath(), File("flow.txt", file)});
    EXPECT_EQ(result.exit_status, 1);
    EXPECT_TRUE(Contains(result.out, "COMFC  1     0\n")) << result.out;
    EXPECT_TRUE(Contains(result.err, "1 key differs: COMFC\n")) << result.err;
}

TEST_F(NkqScriptTest, AReplyWithoutParametersIsNotSaved) {
    for (const bool junk : {false, true}) {
        ModemSetup setup;
        setup.parameters.Clear();
        if (junk) setup.parameters.Set("XYZ", "1");  // the reply is "XYZ 1", then "OK"
        VirtualModem modem(setup);
        const fs::path file = dir / "read.txt";
        const auto result = Nkq({"read", "--port", modem.DevicePath(), "--output", file.string()});
        EXPECT_EQ(result.exit_status, 1);
        EXPECT_EQ(result.err, "The modem's reply held no parameters.\n");
        EXPECT_FALSE(fs::exists(file));
        modem.WaitForCommandLines(3, std::chrono::seconds(10));
        EXPECT_EQ(modem.CommandLines(), (Lines{"STOP", "GET", "START"}));
    }
}

TEST_F(NkqScriptTest, OutputThatCannotBeWrittenIsAFailure) {
    VirtualModem modem;
    const std::string port = "--port " + modem.DevicePath();
    const std::string full = "Cannot write standard output: No space left on device\n";
    const std::vector<std::pair<ProgramResult, std::string>> runs{
        {NkqRedirected("read " + port, "> /dev/full"), full},
        {NkqRedirected("read " + port, ">&-"), "Cannot write standard output: Bad file descriptor\n"},
        {NkqRedirected("status " + port, "> /dev/full"), full},
        {NkqRedirected("read " + port + " --output /dev/full", ""),
         "Cannot create file \"/dev/full\". No space"},
        {NkqRedirected("--trace /dev/full read " + port, "> /dev/null"),
         "Cannot write trace file /dev/full: No space left on device\n"},
        {NkqRedirected("--help", "> /dev/full"), full},
    };
    for (const auto& [result, message] : runs) {
        EXPECT_EQ(result.exit_status, 1) << result.err;
        EXPECT_TRUE(Contains(result.err, message)) << result.err;
    }
    EXPECT_TRUE(fs::is_character_file("/dev/full")) << "a device is written into, never replaced";
}

// The names of standard output stand for what the shell set up: a log
// opened with ">>" keeps what it held and gets the settings after it.
TEST_F(NkqScriptTest, OutputToStandardOutputByNameAppendsToALog) {
    VirtualModem modem;
    const std::string expected = Nkq({"read", "--port", modem.DevicePath()}).out;
    ASSERT_FALSE(expected.empty());
    for (const char* name : {"/dev/stdout", "/dev/fd/1", "/proc/self/fd/1"}) {
        const std::string log = File("read.log", "earlier run\n");
        const auto result =
            NkqRedirected("read --port " + modem.DevicePath() + " --output " + name, ">> " + log);
        EXPECT_EQ(result.exit_status, 0) << name << ": " << result.err;
        std::ifstream in(log, std::ios::binary);
        const std::string held{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        EXPECT_EQ(held, "earlier run\n" + expected) << name;
    }
}

TEST_F(NkqScriptTest, QuickReadsAndChecksWhatThePlainRuleReads) {
    VirtualModem modem;
    const auto plain = Nkq({"read", "--port", modem.DevicePath()});
    const auto quick = RunProgram(NKQ_PROGRAM, {"read", "--port", modem.DevicePath()}, {"NKQ_QUICK=1"});
    ASSERT_EQ(quick.exit_status, 0) << quick.err;
    EXPECT_EQ(quick.out, plain.out);
    const std::string file = File("read.txt", plain.out);
    EXPECT_EQ(Nkq({"--quick", "verify", "--port", modem.DevicePath(), file}).exit_status, 0);
    EXPECT_EQ(
        Nkq({"write", "--quick", "--merge", "--verify", "--port", modem.DevicePath(), file}).exit_status, 0);
    EXPECT_EQ(Nkq({"status", "--quick", "--port", modem.DevicePath()}).out,
              "Текущие подключения:\r\n192.168.0.5:1234\r\n10.20.30.40:5000\r\n");
}

TEST_F(NkqScriptTest, ModemTextReachesTheTerminalWithItsControlCharactersVisible) {
    ModemSetup setup;
    setup.parameters.Set("NAME", "\x1b]0;owned\x07");
    setup.behaviour.connections = {"\x1b[2J10.0.0.9:80"};
    VirtualModem modem(setup);
    const auto read = Nkq({"read", "--port", modem.DevicePath(), "--output", (dir / "r.txt").string()});
    EXPECT_TRUE(Contains(read.err, "Модель: ^[]0;owned^Gvirtual\n")) << read.err;
    const auto status = Nkq({"status", "--port", modem.DevicePath()});
    EXPECT_TRUE(Contains(status.out, "^[[2J10.0.0.9:80\r\n")) << status.out;
    EXPECT_EQ((read.err + status.out).find('\x1b'), std::string::npos);
}

}  // namespace
}  // namespace nkq::testing
