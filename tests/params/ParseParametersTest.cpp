#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/Failure.h"
#include "params/ParameterKeyRules.h"
#include "params/ParameterLines.h"
#include "protocol/TextLines.h"

namespace nkq {
namespace {

using Reader = std::function<std::string(const ParameterSet&)>;

std::string ModeOf(const ParameterSet& set) { return ModeName(set.GetMode()); }

// One key rule: the wire text, what to look at afterwards and what it must read.
struct KeyCase {
    const char* name;
    std::string wire;
    Reader read;
    std::string expected;
};

void PrintTo(const KeyCase& c, std::ostream* os) { *os << c.name; }

const Reader kDestIp = [](const ParameterSet& s) { return s.Fields().IPAddrEdit.Text(); };
const Reader kDestPort = [](const ParameterSet& s) { return s.Fields().PortEdit.Text(); };
const Reader kIdle = [](const ParameterSet& s) { return s.Fields().IdleEdit.Text(); };
const Reader kApn = [](const ParameterSet& s) { return s.Fields().APNEdit.Text(); };
const Reader kRate = [](const ParameterSet& s) { return s.Fields().RateCombo.Text(); };
const Reader kBits = [](const ParameterSet& s) { return std::to_string(s.Fields().BitsCombo.Index()); };
const Reader kParity = [](const ParameterSet& s) {
    return std::string(s.ParityUsed() ? "used" : "unused") +
           (s.Fields().ParityCombo.Enabled() ? " on" : " off");
};
const Reader kParityKind = [](const ParameterSet& s) {
    return std::to_string(s.Fields().ParityCombo.Index());
};
const Reader kStop = [](const ParameterSet& s) { return std::to_string(s.Fields().StopCombo.Index()); };
const Reader kFlow = [](const ParameterSet& s) {
    return std::to_string(s.Fields().FlowCombo.Index()) +
           (s.FlowControlAvailable() ? " available" : " unavailable");
};
const Reader kVersion = [](const ParameterSet& s) { return s.Fields().VersionEdit.Text(); };
const Reader kLevel = [](const ParameterSet& s) { return std::to_string(s.Level()); };
const Reader kServerAddress = [](const ParameterSet& s) {
    return s.Fields().IPAddrEdit.Text() + ":" + s.Fields().PortEdit.Text();
};
const Reader kPair3 = [](const ParameterSet& s) {
    return s.Fields().IPAddr[2].Text() + "|" + s.Fields().Port[2].Text();
};

class KeyRule : public ::testing::TestWithParam<KeyCase> {};

TEST_P(KeyRule, AppliesItsLineToTheSet) {
    ParameterSet set;
    set.ApplyStartupRules();
    ParseParameters(set, GetParam().wire);
    EXPECT_EQ(GetParam().read(set), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, KeyRule,
    ::testing::Values(
        KeyCase{"DestIp", "DESTIP 10.0.0.1\r\n", kDestIp, "10.0.0.1"},
        KeyCase{"DestIpOutOfByte", "DESTIP 192.168.1.300\r\n", kDestIp, "192.168.1.44"},
        KeyCase{"DestIpTrailingBlank", "DESTIP 10.0.0.1 \r\n", kDestIp, "10.0.0.0"},
        KeyCase{"DestIpShort", "DESTIP 10.1\r\n", kDestIp, "10.1.0.0"},
        KeyCase{"DestPortUnchecked", "DESTPORT abc\r\n", kDestPort, "abc"},
        KeyCase{"DestPortAboveRange", "DESTPORT 70000\r\n", kDestPort, "70000"},
        KeyCase{"ServerPort", "SERVERPORT 8080\r\n",
                [](const ParameterSet& s) { return s.Fields().IncomePortEdit.Text(); }, "8080"},
        KeyCase{"IdleTimeZero", "IDLETIME 0\r\n", kIdle, "1"},
        KeyCase{"IdleTimeEleven", "IDLETIME 11\r\n", kIdle, "10"},
        KeyCase{"IdleTimeSixty", "IDLETIME 60\r\n", kIdle, "10"},
        KeyCase{"IdleTimeHex", "IDLETIME $3\r\n", kIdle, "3"},
        KeyCase{"Apn", "APN internet\r\n", kApn, "internet"}, KeyCase{"ApnKeyOnly", "APN\r\n", kApn, ""},
        KeyCase{"ApnWithBlanks", "APN a  b \r\n", kApn, "a  b "},
        KeyCase{"ApnCyrillic", "APN \xe8\xed\xf2\xe5\xf0\xed\xe5\xf2\r\n", kApn,
                "\xe8\xed\xf2\xe5\xf0\xed\xe5\xf2"},
        KeyCase{"Login", "LOGIN gdata\r\n", [](const ParameterSet& s) { return s.Fields().LoginEdit.Text(); },
                "gdata"},
        KeyCase{"PasswordLongerThanTyping", "PASSWORD 123456789012345678901234567890\r\n",
                [](const ParameterSet& s) { return s.Fields().PasswordEdit.Text(); },
                "123456789012345678901234567890"},
        KeyCase{"Rate", "COMRATE 9600\r\n", kRate, "9600"},
        KeyCase{"RateUnknown", "COMRATE 14400\r\n", kRate, "1200"},
        KeyCase{"RateTrailingBlank", "COMRATE 9600 \r\n", kRate, "1200"},
        KeyCase{"Bits", "COMBITS 8\r\n", kBits, "3"}, KeyCase{"BitsOutOfList", "COMBITS 9\r\n", kBits, "-1"},
        KeyCase{"BitsBelowList", "COMBITS 4\r\n", kBits, "-1"},
        KeyCase{"BitsMostNegative", "COMBITS -2147483648\r\n", kBits, "-1"},
        KeyCase{"ParityOne", "COMPARITY 1\r\n", kParity, "used on"},
        KeyCase{"ParityTrueWord", "COMPARITY TRUE\r\n", kParity, "used on"},
        KeyCase{"ParityTwo", "COMPARITY 2\r\n", kParity, "used on"},
        KeyCase{"ParityZero", "COMPARITY 0\r\n", kParity, "unused off"},
        KeyCase{"ParityKind", "PARITYSELECT 2\r\n", kParityKind, "2"},
        KeyCase{"ParityKindOutOfList", "PARITYSELECT 4\r\n", kParityKind, "-1"},
        KeyCase{"StopBits", "COMSTOPBIT 1\r\n", kStop, "1"},
        KeyCase{"FlowControl", "COMFC 2\r\n", kFlow, "2 available"},
        KeyCase{"FlowControlOutOfList", "COMFC 3\r\n", kFlow, "-1 available"},
        KeyCase{"InterfaceRs485", "COMFC 2\r\nINTERFACE RS485\r\n", kFlow, "0 unavailable"},
        KeyCase{"FlowAfterRs485Ignored", "INTERFACE RS485\r\nCOMFC 2\r\n", kFlow, "0 unavailable"},
        KeyCase{"FlowAfterRs485NotConverted", "INTERFACE RS485\r\nCOMFC x\r\n", kFlow, "0 unavailable"},
        KeyCase{"InterfaceRs232KeepsIndex", "INTERFACE RS485\r\nINTERFACE RS232\r\nCOMFC 1\r\n", kFlow,
                "1 available"},
        KeyCase{"InterfaceExactOnly", "INTERFACE rs485\r\n", kFlow, "0 available"},
        KeyCase{"Device", "DEVICE -GSM\r\n", [](const ParameterSet& s) { return s.DeviceText(); }, "-GSM"},
        KeyCase{"Name", "NAME NKQ-100\r\n", [](const ParameterSet& s) { return s.NameText(); }, "NKQ-100"},
        KeyCase{"Version", "VERSION 1.2 beta\r\n", kVersion, "1.2 beta"},
        KeyCase{"VersionWithoutBlank", "VERSION1.2\r\n", kVersion, ""},
        KeyCase{"ModeServer", "MODE 0\r\n", ModeOf, "server"},
        KeyCase{"ModeModem", "MODE 2\r\n", ModeOf, "modem"},
        KeyCase{"ModeClient", "MODE 0\r\nMODE 1\r\n", ModeOf, "client"},
        KeyCase{"ModeUnknown", "MODE 0\r\nMODE 3\r\n", ModeOf, "server"},
        KeyCase{"ModeWithBlank", "MODE 0 \r\n", ModeOf, "client"},
        KeyCase{"CheckPair", "IPPING3 10.0.0.1 5000\r\n", kPair3, "10.0.0.1|5000"},
        KeyCase{"CheckPairPortUnchecked", "IPPING3 1.2.3.4 x y\r\n", kPair3, "1.2.3.4|x y"},
        KeyCase{"CheckPairEmptyParts", "IPPING3  \r\n", kPair3, "0.0.0.0|"},
        KeyCase{"SignalStrong", "CSQ 19,0\r\n", kLevel, "5"},
        KeyCase{"SignalUnknown", "CSQ 99,99\r\n", kLevel, "0"},
        KeyCase{"SignalWeak", "CSQ 5,0\r\n", kLevel, "1"},
        KeyCase{"KeysAreCaseSensitive", "destip 1.2.3.4\r\n", kDestIp, "0.0.0.0"},
        KeyCase{"KeyIsAPrefix", "APNX internet\r\n", kApn, "internet"},
        KeyCase{"LfOnly", "DESTIP 1.2.3.4\nDESTPORT 7\n", kServerAddress, "1.2.3.4:7"},
        KeyCase{"CrOnly", "DESTIP 1.2.3.4\rDESTPORT 7", kServerAddress, "1.2.3.4:7"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ParseParameters, LeavesItemsWithoutALineAsTheyWere) {
    ParameterSet set;
    set.Fields().APNEdit.SetText("keep");
    set.Fields().IdleEdit.SetNumber(9);
    ParseParameters(set, "DESTIP 1.1.1.1\r\nOK\r\n");
    EXPECT_EQ(set.Fields().APNEdit.Text(), "keep");
    EXPECT_EQ(set.Fields().IdleEdit.Text(), "9");
}

TEST(ParseParameters, ModeLineRunsTheModeRuleEvenForAnUnknownMode) {
    ParameterSet set;  // as built: every mode-group field enabled
    ParseParameters(set, "MODE 3\r\n");
    EXPECT_EQ(set.GetMode(), Mode::Client);
    EXPECT_FALSE(set.Fields().IncomePortEdit.Enabled());
    EXPECT_FALSE(set.ShowStateEnabled());
    EXPECT_TRUE(set.Fields().PortEdit.Enabled());
}

TEST(ParseParameters, ModemModeLineDisablesEveryAddressAndPortField) {
    ParameterSet set;
    set.ApplyStartupRules();
    ParseParameters(set, "MODE 2\r\n");
    EXPECT_EQ(set.GetMode(), Mode::Modem);
    EXPECT_FALSE(set.Fields().IPAddrEdit.Enabled());
    EXPECT_FALSE(set.Fields().Port[4].Enabled());
    EXPECT_FALSE(set.ShowStateEnabled());
    set.SelectMode(Mode::Client);
    EXPECT_TRUE(set.Fields().IPAddrEdit.Enabled());
}

TEST(ParseParameters, ParityLineRunsTheParityRuleOnAnUnchangedBox) {
    ParameterSet set;  // as built: the parity list is enabled
    ParseParameters(set, "COMPARITY 0\r\n");
    EXPECT_FALSE(set.Fields().ParityCombo.Enabled());
}

TEST(ParseParameters, NameAndDeviceLinesLeaveTheModelText) {
    ParameterSet set;
    set.ApplyStartupRules();
    const std::string before = set.ModelText();
    ParseParameters(set, "NAME NKQ\r\nDEVICE -X\r\n");
    EXPECT_EQ(set.ModelText(), before);
    set.UpdateModelLabel();
    EXPECT_EQ(set.ModelText(), "NKQ-X");
}

TEST(ParseParameters, TellsTheListenerAboutEachAppliedItem) {
    ParameterSet set;
    set.ApplyStartupRules();
    std::vector<Item> items;
    set.SetListener([&](Item item, ChangeKind kind) {
        if (kind == ChangeKind::Value) items.push_back(item);
    });
    ParseParameters(set, "COMRATE 9600\r\nDESTPORT 5000\r\nIPPING3 1.2.3.4 80\r\nCSQ 12,0\r\n");
    EXPECT_EQ(items, (std::vector<Item>{Item::RateCombo, Item::PortEdit, Item::IPAddr3, Item::Port3,
                                        Item::LevelMeter}));
}

struct ResultCase {
    std::string wire;
    bool ok;
};

class ParseResult : public ::testing::TestWithParam<ResultCase> {};

TEST_P(ParseResult, IsTrueWhenTheLastLineBeginsWithOk) {
    ParameterSet set;
    EXPECT_EQ(ParseParameters(set, GetParam().wire), GetParam().ok) << GetParam().wire;
}

INSTANTIATE_TEST_SUITE_P(Texts, ParseResult,
                         ::testing::Values(ResultCase{"OK", true}, ResultCase{"OK\r\n", true},
                                           ResultCase{"MODE 1\r\nAPN x\r\nOK\r\n", true},
                                           ResultCase{"OKAY", true}, ResultCase{"", false},
                                           ResultCase{"\r\n", false}, ResultCase{"OK\r\n\r\n", false},
                                           ResultCase{"OK\r\nMODE 1", false}, ResultCase{" OK", false},
                                           ResultCase{"ok", false}, ResultCase{"MODE 1\nOK", true}));

struct FailureCase {
    const char* name;
    std::string wire;
    std::string message;
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

class LineFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(LineFailure, RaisesWithTheLinesBeforeItAppliedAndTheRestNot) {
    ParameterSet set;
    set.ApplyStartupRules();
    try {
        ParseParameters(set, "APN before\r\n" + GetParam().wire + "\r\nLOGIN after\r\nOK\r\n");
        FAIL() << "no failure raised";
    } catch (const EConvertError& error) {
        EXPECT_EQ(error.Message(), GetParam().message);
        EXPECT_EQ(error.KindName(), "EConvertError");
    }
    EXPECT_EQ(set.Fields().APNEdit.Text(), "before");
    EXPECT_EQ(set.Fields().LoginEdit.Text(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Values, LineFailure,
    ::testing::Values(FailureCase{"FlowControl", "COMFC x", "'x' is not a valid integer value"},
                      FailureCase{"Bits", "COMBITS 8.0", "'8.0' is not a valid integer value"},
                      FailureCase{"ParityKind", "PARITYSELECT ", "'' is not a valid integer value"},
                      FailureCase{"StopBits", "COMSTOPBIT 1 ", "'1 ' is not a valid integer value"},
                      FailureCase{"IdleTime", "IDLETIME five", "'five' is not a valid integer value"},
                      FailureCase{"IdleTimeTooLarge", "IDLETIME 2147483648",
                                  "'2147483648' is not a valid integer value"},
                      FailureCase{"Parity", "COMPARITY yes", "'yes' is not a valid boolean value"},
                      FailureCase{"ParityEmpty", "COMPARITY", "'' is not a valid boolean value"},
                      FailureCase{"CheckPairWithoutBlank", "IPPING2 10.0.0.1",
                                  "'10.0.0.1' is not a valid address and port"},
                      FailureCase{"CheckPairKeyOnly", "IPPING5", "'' is not a valid address and port"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CheckPairFailure, LeavesThePairAsItWas) {
    ParameterSet set;
    set.Fields().IPAddr[1].SetText("9.9.9.9");
    set.Fields().Port[1].SetText("99");
    EXPECT_THROW(ParseParameters(set, "IPPING2 10.0.0.1\r\n"), EConvertError);
    EXPECT_EQ(set.Fields().IPAddr[1].Text(), "9.9.9.9");
    EXPECT_EQ(set.Fields().Port[1].Text(), "99");
}

TEST(ExtractValue, TakesEverythingAfterTheFirstBlank) {
    EXPECT_EQ(ExtractValue("APN"), "");
    EXPECT_EQ(ExtractValue("APN "), "");
    EXPECT_EQ(ExtractValue("VERSION 1.2 beta"), "1.2 beta");
    EXPECT_EQ(ExtractValue("KEY  two"), " two");
    EXPECT_EQ(ExtractValue(""), "");
}

TEST(SplitLines, SplitsAtCrLfOrCrLf) {
    using Lines = std::vector<std::string>;
    EXPECT_EQ(SplitLines("a\r\nb"), (Lines{"a", "b"}));
    EXPECT_EQ(SplitLines("a\nb\n"), (Lines{"a", "b"}));
    EXPECT_EQ(SplitLines("a\rb\r"), (Lines{"a", "b"}));
    EXPECT_EQ(SplitLines("a\r\n\r\nb"), (Lines{"a", "", "b"}));
    EXPECT_EQ(SplitLines("a\n\rb"), (Lines{"a", "", "b"}));
    EXPECT_EQ(SplitLines(""), Lines{});
    EXPECT_EQ(SplitLines("\n"), (Lines{""}));
}

TEST(SignalLevel, MapsTheFirstNumberToFiveSteps) {
    const std::vector<std::pair<std::string, int>> cases{
        {"0,0", 1},  {"5,0", 1},  {"6,0", 2},   {"9,0", 2},   {"10,0", 3},  {"14,0", 3}, {"15,0", 4},
        {"18,0", 4}, {"19,0", 5}, {"31,99", 5}, {"32,0", 0},  {"99,99", 0}, {"-1,0", 0}, {"19", 0},
        {"ab,0", 0}, {"", 0},     {" 19,0", 5}, {"$13,0", 5}, {"19 ,0", 0}, {",5", 0}};
    for (const auto& [value, level] : cases) EXPECT_EQ(SignalLevel(value), level) << value;
}

TEST(SelectComboItem, SelectsOnlyAnExactMatch) {
    ParameterSet set;
    SelectComboItem(set.Fields().RateCombo, "115200");
    EXPECT_EQ(set.Fields().RateCombo.Index(), 7);
    SelectComboItem(set.Fields().RateCombo, "14400");
    EXPECT_EQ(set.Fields().RateCombo.Index(), 7);
}

TEST(BoolToDigit, WritesOneOrZero) {
    EXPECT_EQ(BoolToDigit(true), "1");
    EXPECT_EQ(BoolToDigit(false), "0");
}

}  // namespace
}  // namespace nkq
