#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "params/ParameterLines.h"

namespace nkq {
namespace {

using Lines = std::vector<std::string>;

const Lines kDefaultTail{"APN ",      "LOGIN ",      "PASSWORD ",      "COMRATE 1200", "COMFC 0",
                         "COMBITS 5", "COMPARITY 0", "PARITYSELECT 0", "COMSTOPBIT 0"};

Lines Joined(Lines head, const Lines& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

TEST(ParameterLineOrder, ClientModeWritesThirteenLines) {
    ParameterSet set;
    set.ApplyStartupRules();
    set.Fields().IPAddrEdit.SetText("10.0.0.1");
    set.Fields().PortEdit.SetText("5000");
    set.Fields().IncomePortEdit.SetText("1");  // not a client item
    const Lines lines = BuildParameterLines(set);
    EXPECT_EQ(lines, Joined({"MODE 1", "DESTIP 10.0.0.1", "DESTPORT 5000", "IDLETIME 5"}, kDefaultTail));
    EXPECT_EQ(lines.size(), 13u);
}

TEST(ParameterLineOrder, ServerModeWritesSeventeenLines) {
    ParameterSet set;
    set.ApplyStartupRules();
    set.SelectMode(Mode::Server);
    set.Fields().IncomePortEdit.SetText("8080");
    for (std::size_t pair = 0; pair < kCheckPairs; ++pair) {
        set.Fields().IPAddr[pair].SetText("10.0.0." + std::to_string(pair + 1));
        set.Fields().Port[pair].SetText(std::to_string(100 + pair));
    }
    set.Fields().IPAddrEdit.SetText("9.9.9.9");  // not a server item
    const Lines lines = BuildParameterLines(set);
    EXPECT_EQ(lines,
              Joined({"MODE 0", "SERVERPORT 8080", "IPPING1 10.0.0.1 100", "IPPING2 10.0.0.2 101",
                      "IPPING3 10.0.0.3 102", "IPPING4 10.0.0.4 103", "IPPING5 10.0.0.5 104", "IDLETIME 5"},
                     kDefaultTail));
    EXPECT_EQ(lines.size(), 17u);
}

TEST(ParameterLineOrder, ModemModeWritesElevenLinesWithoutAddresses) {
    ParameterSet set;
    set.ApplyStartupRules();
    ParseParameters(set, "MODE 2\r\nDESTIP 1.2.3.4\r\nIPPING1 5.6.7.8 9\r\n");
    const Lines lines = BuildParameterLines(set);
    EXPECT_EQ(lines, Joined({"MODE 2", "IDLETIME 5"}, kDefaultTail));
    EXPECT_EQ(lines.size(), 11u);
}

TEST(ParameterLineOrder, EachBuilderAppendsToWhatIsThere) {
    ParameterSet set;
    Lines lines{"first"};
    AddGprsSettings(set, lines);
    EXPECT_EQ(lines, (Lines{"first", "APN ", "LOGIN ", "PASSWORD "}));
}

TEST(PortSettingsLines, WriteListsWithoutSelectionAsTheirIndex) {
    ParameterSet set;
    ParseParameters(set, "COMBITS 9\r\nCOMFC 7\r\nPARITYSELECT -3\r\nCOMSTOPBIT 2\r\n");
    Lines lines;
    AddPortSettings(set, lines);
    EXPECT_EQ(lines, (Lines{"COMRATE 1200", "COMFC -1", "COMBITS 4", "COMPARITY 0", "PARITYSELECT -1",
                            "COMSTOPBIT -1"}));
}

TEST(PortSettingsLines, AreWrittenWhateverTheEnabledStates) {
    ParameterSet set;
    set.ApplyStartupRules();  // the parity list is disabled
    ParseParameters(set,
                    "COMRATE 57600\r\nCOMFC 2\r\nCOMBITS 8\r\nPARITYSELECT 3\r\nCOMSTOPBIT 1\r\n"
                    "INTERFACE RS485\r\n");
    Lines lines;
    AddPortSettings(set, lines);
    EXPECT_EQ(lines, (Lines{"COMRATE 57600", "COMFC 0", "COMBITS 8", "COMPARITY 0", "PARITYSELECT 3",
                            "COMSTOPBIT 1"}));
}

TEST(PortSettingsLines, WriteParityUsedAsOne) {
    ParameterSet set;
    ParseParameters(set, "COMPARITY True\r\nCOMRATE 1200\r\n");
    Lines lines;
    AddPortSettings(set, lines);
    EXPECT_EQ(lines[3], "COMPARITY 1");
}

TEST(ModeSettingsLines, WriteFieldTextsAsTheyAre) {
    ParameterSet set;
    ParseParameters(set, "DESTPORT abc\r\nDESTIP 10.0.0.1 \r\n");
    set.Fields().IdleEdit.SetText("");  // the operator emptied it and never left the field
    Lines lines;
    AddModeSettings(set, lines);
    EXPECT_EQ(lines, (Lines{"MODE 1", "DESTIP 10.0.0.0", "DESTPORT abc", "IDLETIME "}));
    set.Fields().PortEdit.Leave();
    lines.clear();
    AddModeSettings(set, lines);
    EXPECT_EQ(lines[2], "DESTPORT 0");
}

TEST(GprsSettingsLines, WriteLongValuesWhole) {
    ParameterSet set;
    const std::string thirty(30, 'x');
    ParseParameters(set, "PASSWORD " + thirty + "\r\nAPN a b\r\n");
    Lines lines;
    AddGprsSettings(set, lines);
    EXPECT_EQ(lines, (Lines{"APN a b", "LOGIN ", "PASSWORD " + thirty}));
}

}  // namespace
}  // namespace nkq
