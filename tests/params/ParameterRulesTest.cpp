// The rules that reading, checking and comparing share: which key a line
// sets, which keys a write sends, and when two spellings are one value.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "params/ParameterComparison.h"
#include "params/ParameterKeyRules.h"
#include "params/ParameterLines.h"
#include "params/ParameterValues.h"
#include "params/ReplyValues.h"
#include "params/SettingsCheck.h"
#include "protocol/TextLines.h"

namespace nkq {
namespace {

struct KeyCase {
    const char* line;
    std::optional<std::string_view> key;
};

TEST(KeyOfLine, TakesTheKeyTheLineBeginsWith) {
    const KeyCase cases[] = {
        {"APN internet", "APN"},
        {"APNX evil", "APN"},
        {"APN", "APN"},
        {"IPPING3 1.2.3.4 5", "IPPING3"},
        {"VERSION 1.2", "VERSION"},
        {"VERSION1.2", std::nullopt},
        {"OK", std::nullopt},
        {"apn x", std::nullopt},
        {"", std::nullopt},
        {" APN x", std::nullopt},
        {"COMFCX 1", "COMFC"},
    };
    for (const auto& c : cases) EXPECT_EQ(KeyOfLine(c.line), c.key) << c.line;
}

// So a line sets at most one key, and testing every key in turn, as the
// parser's rule says, comes to the same as taking the one it begins with.
TEST(KeyOfLine, NoKeyBeginsAnother) {
    for (const auto a : ParameterKeys()) {
        for (const auto b : ParameterKeys()) {
            if (a != b) {
                EXPECT_FALSE(b.starts_with(a)) << a << " begins " << b;
            }
        }
    }
}

TEST(KeysSentIn, AreTheKeysOfTheLinesAWriteBuilds) {
    for (const Mode mode : {Mode::Client, Mode::Server, Mode::Modem}) {
        ParameterSet set;
        set.SelectMode(mode);
        std::vector<std::string_view> built;
        const auto lines = BuildParameterLines(set);
        for (const auto& line : lines) built.push_back(*KeyOfLine(line));
        EXPECT_EQ(KeysSentIn(mode), built) << ModeName(mode);
    }
    EXPECT_EQ(KeysSentIn(Mode::Client).size(), 13u);
    EXPECT_EQ(KeysSentIn(Mode::Server).size(), 17u);
    EXPECT_EQ(KeysSentIn(Mode::Modem).size(), 11u);
}

struct ValueCase {
    const char* key;
    const char* a;
    const char* b;
    bool same;
};

// Equal when the fields hold the same value; a value its field would change
// (cut, clamp, ignore) is only ever equal to itself.
TEST(SameFieldValue, ComparesValuesAsTheirFieldsHoldThem) {
    const ValueCase cases[] = {
        {"DESTIP", "010.000.000.001", "10.0.0.1", true},
        {"DESTIP", "10.0.0.1", "10.0.0.2", false},
        {"DESTIP", "300.0.0.1", "44.0.0.1", false},  // the field would mask it
        {"DESTIP", "abc", "0.0.0.0", false},
        {"DESTIP", "10.1", "10.1.0.0", false},
        {"IDLETIME", "07", "7", true},
        {"IDLETIME", "60", "10", false},  // the field would clamp it
        {"DESTPORT", "0080", "80", true},
        {"SERVERPORT", "00000", "0", true},
        {"DESTPORT", "+80", "80", false},
        {"DESTPORT", "70000", "4464", false},
        {"IPPING2", "010.0.0.1 0080", "10.0.0.1 80", true},
        {"IPPING2", "10.0.0.1 80", "10.0.0.1 81", false},
        {"COMFC", "01", "1", true},
        {"COMBITS", "08", "8", true},
        {"COMBITS", "9", "4", false},
        {"COMRATE", "14400", "1200", false},
        {"MODE", "3", "1", false},
        {"MODE", "01", "1", false},  // an exact digit or nothing
        {"APN", "internet", "internet ", false},
        {"PASSWORD", "007", "7", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SameFieldValue(c.key, c.a, c.b), c.same) << c.key << " " << c.a << " / " << c.b;
        EXPECT_EQ(SameFieldValue(c.key, c.b, c.a), c.same) << c.key << " " << c.b << " / " << c.a;
    }
}

TEST(CompareWithReply, TakesReplyLinesAsAReadDoes) {
    const std::vector<std::string> expected{"APN good", "DESTIP 10.0.0.1", "IDLETIME 7", "DESTPORT 80",
                                            "LOGIN x"};
    const std::string reply =
        "APN good\r\nAPNX evil\r\nDESTIP 010.000.000.001\r\nIDLETIME 07\r\nDESTPORT 0080\r\nOK\r\n";
    const auto differences = CompareWithReply(expected, reply);
    ASSERT_EQ(differences.size(), 2u);
    EXPECT_EQ(differences[0].key, "APN");
    EXPECT_EQ(differences[0].actual, "evil");  // the later line wins, as applying it would
    EXPECT_EQ(differences[1].key, "LOGIN");
    EXPECT_EQ(differences[1].actual, std::nullopt);
}

TEST(KeysNotReported, NamesWhatTheWriteSendsAndNoLineSet) {
    const std::string reply =
        "MODE 1\r\nDESTIP 1.2.3.4\r\nDESTPORT 1\r\nIDLETIME 5\r\nAPNX x\r\nPASSWORD \r\n"
        "COMRATE 9600\r\nCOMFC 0\r\nCOMBITS 8\r\nCOMPARITY 0\r\nPARITYSELECT 0\r\nCSQ 9,0\r\nOK";
    EXPECT_EQ(KeysNotReported(Mode::Client, reply), (std::vector<std::string>{"LOGIN", "COMSTOPBIT"}));
    EXPECT_EQ(KeysNotReported(Mode::Client, reply, {"LOGIN"}), std::vector<std::string>{"COMSTOPBIT"});
    EXPECT_EQ(KeysNotReported(Mode::Modem, "CSQ 17,0\r\nOK").size(), 11u);
    EXPECT_EQ(ReportedKeys(reply).count("APN"), 1u);
}

std::string LineProblems(const std::string& text) {
    std::string reasons;
    for (const auto& problem : CheckSettingsLines(text)) reasons += problem.reason + ";";
    return reasons;
}

// A port a read saved with leading zeros is the port; junk stays refused.
TEST(CheckSettingsLines, TakesAPortWithLeadingZerosAndRefusesJunk) {
    EXPECT_EQ(LineProblems("DESTPORT 0080\r\nSERVERPORT 007\r\nIPPING4 10.0.0.1 0443\r\n"), "");
    for (const char* junk : {"DESTPORT 80x", "DESTPORT +80", "DESTPORT 070000", "IPPING1 10.0.0.1 -1"})
        EXPECT_NE(LineProblems(junk).find("is not a whole number from 0 to 65535"), std::string::npos)
            << junk;
    EXPECT_EQ(LineProblems("APNX evil"),
              "\"APNX\" is not a parameter key: a read would take the line as APN;");
}

TEST(WritePortsAsNumbers, WritesAPortWithLeadingZerosAsItsNumber) {
    ParameterSet set;
    set.SelectMode(Mode::Server);
    ParseParameters(set, "SERVERPORT 0080\r\nIPPING2 10.0.0.1 00443\r\nIPPING3 10.0.0.1 junk\r\n");
    WritePortsAsNumbers(set);
    const auto lines = BuildParameterLines(set);
    EXPECT_NE(std::find(lines.begin(), lines.end(), "SERVERPORT 80"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "IPPING2 10.0.0.1 443"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "IPPING3 10.0.0.1 junk"), lines.end());
}

}  // namespace
}  // namespace nkq
