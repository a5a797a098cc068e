#include <gtest/gtest.h>

#include <string>

#include "ChangeRecorder.h"
#include "params/ParameterSet.h"

namespace nkq {
namespace {

const std::string kNoConnection =
    "\xcd\xe5\xf2 \xef\xee\xe4\xea\xeb\xfe\xf7\xe5\xed\xe8\xff \xea \xf3\xf1\xf2\xf0\xee\xe9\xf1\xf2\xe2\xf3";

// The enabled states the mode rule decides.
struct ModeGroupState {
    bool client_fields;
    bool server_fields;
};

ModeGroupState EnabledModeFields(const ParameterSet& set) {
    const ParameterFields& f = set.Fields();
    const bool client = f.IPAddrEdit.Enabled() && f.PortEdit.Enabled();
    const bool client_off = !f.IPAddrEdit.Enabled() && !f.PortEdit.Enabled();
    bool server = f.IncomePortEdit.Enabled() && set.ShowStateEnabled();
    bool server_off = !f.IncomePortEdit.Enabled() && !set.ShowStateEnabled();
    for (std::size_t pair = 0; pair < kCheckPairs; ++pair) {
        server = server && f.IPAddr[pair].Enabled() && f.Port[pair].Enabled();
        server_off = server_off && !f.IPAddr[pair].Enabled() && !f.Port[pair].Enabled();
    }
    EXPECT_TRUE(client || client_off) << "client fields disagree";
    EXPECT_TRUE(server || server_off) << "server fields disagree";
    return {client, server};
}

TEST(ParameterSetAsBuilt, HoldsTheInitialValues) {
    ParameterSet set;
    const ParameterFields& f = set.Fields();
    EXPECT_EQ(set.GetMode(), Mode::Client);
    EXPECT_EQ(f.IPAddrEdit.Text(), "0.0.0.0");
    EXPECT_EQ(f.PortEdit.Text(), "0");
    EXPECT_EQ(f.IncomePortEdit.Text(), "0");
    for (std::size_t pair = 0; pair < kCheckPairs; ++pair) {
        EXPECT_EQ(f.IPAddr[pair].Text(), "0.0.0.0");
        EXPECT_EQ(f.Port[pair].Text(), "0");
    }
    EXPECT_EQ(f.IdleEdit.Text(), "5");
    EXPECT_EQ(f.APNEdit.Text(), "");
    EXPECT_EQ(f.LoginEdit.Text(), "");
    EXPECT_EQ(f.PasswordEdit.Text(), "");
    EXPECT_EQ(f.RateCombo.Text(), "1200");
    EXPECT_EQ(f.BitsCombo.Text(), "5");
    EXPECT_EQ(f.ParityCombo.Index(), 0);
    EXPECT_EQ(f.StopCombo.Text(), "1");
    EXPECT_EQ(f.FlowCombo.Index(), 0);
    EXPECT_FALSE(set.ParityUsed());
    EXPECT_TRUE(set.FlowControlAvailable());
    EXPECT_EQ(set.Level(), 0);
    EXPECT_EQ(f.VersionEdit.Text(), "");
    EXPECT_EQ(set.DeviceText(), "");
}

TEST(ParameterSetAsBuilt, HasEveryRuleControlledControlEnabled) {
    ParameterSet set;
    const ModeGroupState state = EnabledModeFields(set);
    EXPECT_TRUE(state.client_fields);
    EXPECT_TRUE(state.server_fields);
    EXPECT_TRUE(set.Fields().ParityCombo.Enabled());
    EXPECT_FALSE(ParameterSet::ModemRadioEnabled());
    EXPECT_FALSE(set.Fields().VersionEdit.Enabled());
    EXPECT_EQ(set.ModelText(), "ModelLabel");
    EXPECT_EQ(set.NameText(), "");
}

TEST(ParameterSetAsBuilt, ListsTheEntriesAsWindows1251Bytes) {
    ParameterSet set;
    const ParameterFields& f = set.Fields();
    EXPECT_EQ(f.RateCombo.Entries(), (std::vector<std::string>{"1200", "2400", "4800", "9600", "19200",
                                                               "38400", "57600", "115200"}));
    EXPECT_EQ(f.BitsCombo.Entries(), (std::vector<std::string>{"5", "6", "7", "8"}));
    EXPECT_EQ(f.ParityCombo.Entries(),
              (std::vector<std::string>{"\xcd\xe5\xf7\xe5\xf2", "\xd7\xe5\xf2",
                                        "\xcc\xe0\xf0\xea\xe5\xf0 (1)", "\xcf\xf0\xee\xe1\xe5\xeb (0)"}));
    EXPECT_EQ(f.StopCombo.Entries(), (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(
        f.FlowCombo.Entries(),
        (std::vector<std::string>{"\xcd\xe5\xf2", "\xc0\xef\xef\xe0\xf0\xe0\xf2\xed\xee\xe5", "XON/XOFF"}));
    EXPECT_EQ(f.APNEdit.TypingLimit(), 50u);
    EXPECT_EQ(f.LoginEdit.TypingLimit(), 20u);
    EXPECT_EQ(f.PasswordEdit.TypingLimit(), 20u);
}

TEST(ParameterSetStartup, AppliesTheParityAndModeRulesAndTheNoConnectionText) {
    ParameterSet set;
    set.ApplyStartupRules();
    const ModeGroupState state = EnabledModeFields(set);
    EXPECT_TRUE(state.client_fields);
    EXPECT_FALSE(state.server_fields);
    EXPECT_FALSE(set.Fields().ParityCombo.Enabled());
    EXPECT_TRUE(set.FlowControlAvailable());
    EXPECT_EQ(set.NameText(), kNoConnection);
    EXPECT_EQ(set.DeviceText(), "");
    EXPECT_EQ(set.ModelText(), kNoConnection);
    EXPECT_EQ(set.Level(), 0);
}

struct ModeCase {
    Mode mode;
    bool client_fields;
    bool server_fields;
};

class ModeRule : public ::testing::TestWithParam<ModeCase> {};

TEST_P(ModeRule, EnablesExactlyTheFieldsOfTheSelectedMode) {
    ParameterSet set;
    set.ApplyStartupRules();
    set.SelectMode(GetParam().mode);
    EXPECT_EQ(set.GetMode(), GetParam().mode);
    const ModeGroupState state = EnabledModeFields(set);
    EXPECT_EQ(state.client_fields, GetParam().client_fields);
    EXPECT_EQ(state.server_fields, GetParam().server_fields);
    EXPECT_FALSE(ParameterSet::ModemRadioEnabled());
}

INSTANTIATE_TEST_SUITE_P(Modes, ModeRule,
                         ::testing::Values(ModeCase{Mode::Client, true, false},
                                           ModeCase{Mode::Server, false, true},
                                           ModeCase{Mode::Modem, false, false}));

TEST(ModeRuleState, SelectingTheModeAlreadySelectedStillRunsTheRule) {
    ParameterSet set;  // as built: everything enabled although client is selected
    set.SelectMode(Mode::Client);
    const ModeGroupState state = EnabledModeFields(set);
    EXPECT_TRUE(state.client_fields);
    EXPECT_FALSE(state.server_fields);
}

TEST(ModeRuleState, ChangesNoValue) {
    ParameterSet set;
    set.Fields().IPAddrEdit.SetText("10.0.0.1");
    set.Fields().Port[2].SetText("77");
    set.SelectMode(Mode::Modem);
    set.SelectMode(Mode::Server);
    EXPECT_EQ(set.Fields().IPAddrEdit.Text(), "10.0.0.1");
    EXPECT_EQ(set.Fields().Port[2].Text(), "77");
}

TEST(ParityRule, EnablesTheParityListExactlyWhenParityIsUsed) {
    ParameterSet set;
    set.ApplyStartupRules();
    set.Fields().ParityCombo.SetIndex(2);
    set.SetParityUsed(true);
    EXPECT_TRUE(set.Fields().ParityCombo.Enabled());
    set.SetParityUsed(false);
    EXPECT_FALSE(set.Fields().ParityCombo.Enabled());
    EXPECT_EQ(set.Fields().ParityCombo.Index(), 2);
}

TEST(ParityRule, RunsEvenWhenTheCheckBoxKeepsItsState) {
    ParameterSet set;  // as built: the list is enabled with the box unchecked
    set.SetParityUsed(false);
    EXPECT_FALSE(set.Fields().ParityCombo.Enabled());
}

TEST(SignalLevelState, IsBroughtIntoZeroToFive) {
    ParameterSet set;
    for (const auto& [given, kept] : {std::pair{3, 3}, {-4, 0}, {9, 5}, {5, 5}, {0, 0}}) {
        set.SetLevel(given);
        EXPECT_EQ(set.Level(), kept) << given;
    }
}

TEST(ModelText, ChangesOnlyWhenTheModelLabelIsUpdated) {
    ParameterSet set;
    set.ApplyStartupRules();
    set.SetDeviceText("-GSM");
    EXPECT_EQ(set.ModelText(), kNoConnection);
    set.UpdateModelLabel();
    EXPECT_EQ(set.ModelText(), kNoConnection + "-GSM");
    set.SetNameText("NKQ-200");
    set.UpdateModelLabel();
    EXPECT_EQ(set.ModelText(), "NKQ-200-GSM");
}

TEST(ChangeListener, HearsWhichControlsValueChanged) {
    ParameterSet set;
    testing::ChangeRecorder recorder(set);
    set.Fields().RateCombo.SetIndex(3);
    set.Fields().PortEdit.SetText("5000");
    set.Fields().IPAddr[2].SetText("10.0.0.3");
    set.Fields().Port[4].SetText("5");
    set.SetLevel(4);
    set.Fields().VersionEdit.SetText("1.0");
    set.UpdateModelLabel();
    using P = std::pair<Item, ChangeKind>;
    EXPECT_EQ(recorder.changes, (std::vector<P>{{Item::RateCombo, ChangeKind::Value},
                                                {Item::PortEdit, ChangeKind::Value},
                                                {Item::IPAddr3, ChangeKind::Value},
                                                {Item::Port5, ChangeKind::Value},
                                                {Item::LevelMeter, ChangeKind::Value},
                                                {Item::VersionEdit, ChangeKind::Value},
                                                {Item::ModelLabel, ChangeKind::Value}}));
}

TEST(ChangeListener, HearsTheEnabledStatesTheRulesSet) {
    ParameterSet set;
    set.ApplyStartupRules();
    testing::ChangeRecorder recorder(set);
    set.SelectMode(Mode::Server);
    EXPECT_TRUE(recorder.Saw(Item::ClientRadio, ChangeKind::Value));
    EXPECT_TRUE(recorder.Saw(Item::ServerRadio, ChangeKind::Value));
    EXPECT_TRUE(recorder.Saw(Item::IPAddrEdit, ChangeKind::Enabled));
    EXPECT_TRUE(recorder.Saw(Item::Port1, ChangeKind::Enabled));
    EXPECT_TRUE(recorder.Saw(Item::IPAddr5, ChangeKind::Enabled));
    EXPECT_TRUE(recorder.Saw(Item::ShowStateButton, ChangeKind::Enabled));
    EXPECT_EQ(recorder.changes.size(), 2u + 2u + 1u + 10u + 1u);

    recorder.changes.clear();
    set.SetParityUsed(true);
    set.SetFlowControlAvailable(false);
    EXPECT_TRUE(recorder.Saw(Item::ParityCheckBox, ChangeKind::Value));
    EXPECT_TRUE(recorder.Saw(Item::ParityCombo, ChangeKind::Enabled));
    EXPECT_TRUE(recorder.Saw(Item::FlowCombo, ChangeKind::Enabled));
}

TEST(ChangeListener, HearsNothingWhenNothingChanges) {
    ParameterSet set;
    set.ApplyStartupRules();
    testing::ChangeRecorder recorder(set);
    set.SelectMode(Mode::Client);
    set.SetParityUsed(false);
    set.SetLevel(-1);
    set.UpdateModelLabel();
    set.Fields().IdleEdit.SetNumber(5);
    EXPECT_TRUE(recorder.changes.empty());
}

}  // namespace
}  // namespace nkq
