// What nkq makes of a modem's reply, end to end: a merge or a read never
// takes initial values for keys the modem did not report, verify judges a
// modem the way a read takes its reply, and a file nkq read saved is always
// one nkq write and verify accept.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "NkqRun.h"
#include "VirtualModem.h"

namespace nkq::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// The factory set without `key`, as a modem whose reply lacks that line.
ModemParameters Without(const std::string& key) {
    const ModemParameters factory = ModemParameters::Defaults();
    ModemParameters parameters;
    for (const auto& [entry, value] : factory.Entries())
        if (entry != key) parameters.Set(entry, value);
    return parameters;
}

ModemSetup Holding(ModemParameters parameters) {
    ModemSetup setup;
    setup.parameters = std::move(parameters);
    return setup;
}

// What the modem received once its line has been quiet a moment.
Lines CommandLines(const VirtualModem& modem, std::size_t at_least) {
    modem.WaitForCommandLines(at_least, 10s);
    std::this_thread::sleep_for(100ms);
    return modem.CommandLines();
}

using NkqReplyRules = NkqTest;

struct MergeCase {
    const char* name;
    ModemParameters modem;
    std::string file;
    std::string missing;  // the keys the failure names
};

void PrintTo(const MergeCase& c, std::ostream* out) { *out << c.name; }

class NkqMergeRefused : public NkqReplyRules, public ::testing::WithParamInterface<MergeCase> {};

// The write would have sent initial values over the modem's own: it fails
// before "CMD", the modem still gets "START" and keeps what it had.
TEST_P(NkqMergeRefused, FailsBeforeCmdNamingTheKeys) {
    VirtualModem modem(Holding(GetParam().modem));
    const auto result =
        Nkq({"write", "--merge", "--port", modem.DevicePath(), File("part.txt", GetParam().file)});
    EXPECT_EQ(result.exit_status, 1);
    EXPECT_TRUE(Contains(result.err, "The modem did not report " + GetParam().missing +
                                         ", which a client-mode write "
                                         "sends and "))
        << result.err;
    EXPECT_TRUE(Contains(result.err, "part.txt does not set: nothing written")) << result.err;
    EXPECT_FALSE(Contains(result.err, "успешно")) << result.err;
    EXPECT_EQ(CommandLines(modem, 3), (Lines{"STOP", "GET", "START"}));
    EXPECT_EQ(modem.Parameters(), GetParam().modem);
}

ModemParameters OnlySignal() {
    ModemParameters parameters;
    parameters.Set("CSQ", "17,0");
    return parameters;
}

INSTANTIATE_TEST_SUITE_P(
    Replies, NkqMergeRefused,
    ::testing::Values(MergeCase{"NoLogin", Without("LOGIN"), "APN merged\r\n", "LOGIN"},
                      MergeCase{"NoRate", Without("COMRATE"), "APN merged\r\n", "COMRATE"},
                      MergeCase{"OnlySignal", OnlySignal(), "APN merged\r\n",
                                "MODE, DESTIP, DESTPORT, IDLETIME, LOGIN, PASSWORD, COMRATE, COMFC, COMBITS, "
                                "COMPARITY, PARITYSELECT, COMSTOPBIT"},
                      // The mode the file sets decides what the write sends.
                      MergeCase{"NoDestPortForAClientFile", Without("DESTPORT"), "MODE 1\r\n", "DESTPORT"}),
    [](const ::testing::TestParamInfo<MergeCase>& info) { return std::string(info.param.name); });

TEST_F(NkqReplyRules, AMergeMayLeaveOutWhatTheFileSets) {
    VirtualModem modem(Holding(Without("LOGIN")));
    const auto result =
        Nkq({"write", "--merge", "--port", modem.DevicePath(), File("login.txt", "LOGIN fleet\r\n")});
    EXPECT_EQ(result.exit_status, 0) << result.err;
    EXPECT_EQ(modem.Parameters().Get("LOGIN"), "fleet");
    EXPECT_EQ(modem.Parameters().Get("COMRATE"), "9600");
}

// A read that lacks a line would save the initial value as the modem's; with
// --partial it saves what the modem reported, which a merge then accepts.
TEST_F(NkqReplyRules, AReadWithoutALineFailsAndAPartialReadSavesWhatCame) {
    VirtualModem lacking(Holding(Without("LOGIN")));
    const fs::path whole = dir / "whole.txt", partial = dir / "partial.txt";
    const auto refused = Nkq({"read", "--port", lacking.DevicePath(), "--output", whole.string()});
    EXPECT_EQ(refused.exit_status, 1);
    EXPECT_TRUE(Contains(refused.err,
                         "The modem did not report LOGIN, which a client-mode write sends: nothing saved"))
        << refused.err;
    EXPECT_FALSE(Contains(refused.err, "успешно"));
    EXPECT_FALSE(fs::exists(whole));

    const auto read =
        Nkq({"read", "--partial", "--port", lacking.DevicePath(), "--output", partial.string()});
    ASSERT_EQ(read.exit_status, 0) << read.err;
    const std::string saved = ReadFile(partial);
    EXPECT_FALSE(Contains(saved, "LOGIN")) << saved;
    EXPECT_TRUE(Contains(saved, "PASSWORD \r\nCOMRATE 9600\r\n")) << saved;
    EXPECT_EQ(std::count(saved.begin(), saved.end(), '\n'), 12);

    VirtualModem other;
    const auto merged = Nkq({"write", "--merge", "--port", other.DevicePath(), partial.string()});
    EXPECT_EQ(merged.exit_status, 0) << merged.err;
    EXPECT_EQ(Nkq({"write", "--port", other.DevicePath(), partial.string()}).exit_status, 1)
        << "a partial file is no whole write";
}

// A reference that names nothing would pass any modem.
TEST_F(NkqReplyRules, VerifyRefusesAFileThatNamesNoParameter) {
    VirtualModem modem;
    for (const std::string bytes : {"", "\xEF\xBB\xBF", "\r\n\r\n\n"}) {
        const std::string file = File("empty.txt", bytes);
        const auto result = Nkq({"verify", "--port", modem.DevicePath(), file});
        EXPECT_EQ(result.exit_status, 1) << bytes.size();
        EXPECT_EQ(result.err, file + ": names no parameter to check\n") << bytes.size();
    }
    EXPECT_EQ(modem.ReceivedBytes(), "");
}

// Written as a modem may report them: the file nkq reads back from it is
// accepted by write and verify, and the port goes back as its number.
TEST_F(NkqReplyRules, AReadBackFileWritesAndVerifies) {
    ModemParameters odd = ModemParameters::Defaults();
    odd.Set("DESTIP", "010.000.000.001");
    odd.Set("IDLETIME", "07");
    odd.Set("DESTPORT", "0080");
    VirtualModem modem(Holding(odd));
    const fs::path file = dir / "back.txt";
    ASSERT_EQ(Nkq({"read", "--port", modem.DevicePath(), "--output", file.string()}).exit_status, 0);
    EXPECT_TRUE(Contains(ReadFile(file), "DESTIP 10.0.0.1\r\nDESTPORT 0080\r\nIDLETIME 7\r\n"))
        << ReadFile(file);
    const auto verified = Nkq({"verify", "--port", modem.DevicePath(), file.string()});
    EXPECT_EQ(verified.exit_status, 0) << verified.out << verified.err;
    const auto written = Nkq({"write", "--verify", "--port", modem.DevicePath(), file.string()});
    EXPECT_EQ(written.exit_status, 0) << written.out << written.err;
    EXPECT_EQ(modem.Parameters().Get("DESTPORT"), "80");
    EXPECT_EQ(Nkq({"verify", "--port", modem.DevicePath(), file.string()}).exit_status, 0);
}

// A read saves what the later line says, so verify must see it too.
TEST_F(NkqReplyRules, VerifyTakesALineForTheKeyAReadAppliesItTo) {
    ModemParameters parameters = ModemParameters::Defaults();
    parameters.Set("APN", "good");
    parameters.Set("APNX", "evil");
    VirtualModem modem(Holding(parameters));
    const auto result = Nkq({"verify", "--port", modem.DevicePath(), File("apn.txt", "APN good\r\n")});
    EXPECT_EQ(result.exit_status, 1);
    EXPECT_EQ(result.out, "KEY  FILE  MODEM\nAPN  good  evil\n");
    const fs::path file = dir / "read.txt";
    ASSERT_EQ(Nkq({"read", "--port", modem.DevicePath(), "--output", file.string()}).exit_status, 0);
    EXPECT_TRUE(Contains(ReadFile(file), "APN evil\r\n"));
}

}  // namespace
}  // namespace nkq::testing
