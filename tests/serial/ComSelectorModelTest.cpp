// The port selector model over fake port trees, bound to a real port object.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include <cstdlib>

#include "FakePortTree.h"
#include "Ser2Net.h"
#include "TestFiles.h"
#include "VirtualModem.h"
#include "serial/ComPort.h"
#include "serial/ComSelectorModel.h"

namespace nkq {
namespace {

using Names = std::vector<std::string>;
using test::FakePortTree;

class ComSelector : public ::testing::Test {
protected:
    void Register(const Names& names) {
        for (const auto& name : names) tree_.AddKernelPort(name);
    }

    // Counts the port's reopen/close traffic: a pick that changes nothing
    // must not touch the port at all.
    void WatchPort() {
        port_.Handlers.OnBeforeClose = [this] { ++port_events_; };
        port_.Handlers.OnBeforeOpen = [this] { ++port_events_; };
    }

    FakePortTree tree_;
    TComPort port_{TComPortSetup::System};
    TComSelectorModel selector_{tree_.Roots()};
    int port_events_ = 0;
};

TEST_F(ComSelector, StartUpSelectsThePortsNameWhenRegistered) {
    Register({"COM3", "COM10", "COM1"});
    port_.SetPort("COM1");
    LoadSystemSelector(selector_, port_);
    EXPECT_EQ(selector_.Items(), (Names{"COM1", "COM10", "COM3"}));
    EXPECT_EQ(selector_.Text(), "COM1");
    EXPECT_EQ(selector_.ItemIndex(), 0);
    EXPECT_EQ(selector_.PendingName(), "COM1");
    EXPECT_TRUE(selector_.AutoApply());
    EXPECT_EQ(selector_.ComProperty(), TComProperty::cpPort);
    EXPECT_EQ(selector_.ComPort(), &port_);
    EXPECT_EQ(port_.Port(), "COM1");
}

TEST_F(ComSelector, StartUpWithoutThePortSelectsNothingAndKeepsTheName) {
    Register({"COM3", "COM2"});
    port_.SetPort("COM1");
    LoadSystemSelector(selector_, port_);
    EXPECT_EQ(selector_.ItemIndex(), TComSelectorModel::kNoEntry);
    EXPECT_EQ(selector_.Text(), "");
    EXPECT_EQ(port_.Port(), "COM1");
}

TEST_F(ComSelector, StartUpListFailureNamesTheSelectorProperty) {
    TComSelectorModel broken({tree_.Sys() / "absent", tree_.Dev()});
    try {
        LoadSystemSelector(broken, port_);
        FAIL() << "start-up survived an unreadable port list";
    } catch (const EComPort& error) {
        EXPECT_EQ(error.Message(),
                  "Error reading ComComboBox1.ComProperty: Registry error (win error code: 2)");
        EXPECT_EQ(error.MessageCode(), kComRegistryFailed);
    }
}

TEST_F(ComSelector, RefreshWithTheChosenPortGoneSelectsNothingAndKeepsTheName) {
    Register({"COM1", "COM7"});
    LoadSystemSelector(selector_, port_);
    selector_.PickEntry(1);
    ASSERT_EQ(port_.Port(), "COM7");
    tree_.Remove("COM7");
    selector_.Refresh();
    EXPECT_EQ(selector_.Items(), Names{"COM1"});
    EXPECT_EQ(selector_.ItemIndex(), TComSelectorModel::kNoEntry);
    EXPECT_EQ(port_.Port(), "COM7");
}

TEST_F(ComSelector, RefreshFailureLeavesAnEmptyListAndThePortName) {
    Register({"COM1", "COM2"});
    port_.SetPort("COM2");
    LoadSystemSelector(selector_, port_);
    std::filesystem::remove_all(tree_.Sys());
    EXPECT_THROW(selector_.Refresh(), EComPort);
    EXPECT_TRUE(selector_.Items().empty());
    EXPECT_EQ(selector_.ItemIndex(), TComSelectorModel::kNoEntry);
    EXPECT_EQ(port_.Port(), "COM2");
}

TEST_F(ComSelector, SelectingByProgramNeverChangesThePortName) {
    Register({"COM1", "COM2", "COM3"});
    port_.SetPort("COM3");
    LoadSystemSelector(selector_, port_);
    selector_.SetItemIndex(0);
    selector_.SetText("com2");
    EXPECT_EQ(selector_.Text(), "COM2");
    selector_.SetText("COM9");
    EXPECT_EQ(selector_.Text(), "COM2");
    selector_.Refresh();
    EXPECT_EQ(selector_.Text(), "COM3");
    EXPECT_EQ(port_.Port(), "COM3");
}

TEST_F(ComSelector, EntryInOtherLetterCaseMatchesAndPickingAppliesItsText) {
    Register({"COM1", "com4"});
    port_.SetPort("COM4");
    LoadSystemSelector(selector_, port_);
    EXPECT_EQ(selector_.Text(), "com4");
    EXPECT_EQ(selector_.PendingName(), "com4");
    selector_.PickEntry(1);
    EXPECT_EQ(port_.Port(), "com4");
}

TEST_F(ComSelector, PickingTheCurrentEntryLeavesThePortAlone) {
    Register({"COM1", "COM2"});
    port_.SetPort("COM2");
    LoadSystemSelector(selector_, port_);
    WatchPort();
    selector_.PickEntry(1);
    EXPECT_EQ(port_.Port(), "COM2");
    EXPECT_EQ(port_events_, 0);
}

TEST_F(ComSelector, EveryPickSetsThePortNameOnlyWithAutoApply) {
    Register({"COM1", "COM2", "COM3"});
    LoadSystemSelector(selector_, port_);
    for (int index : {1, 2, 0}) {
        selector_.PickEntry(index);
        EXPECT_EQ(port_.Port(), selector_.Items()[static_cast<std::size_t>(index)]);
    }
    selector_.SetAutoApply(false);
    selector_.PickEntry(2);
    EXPECT_EQ(selector_.PendingName(), "COM3");
    EXPECT_EQ(port_.Port(), "COM1");
}

TEST_F(ComSelector, RefreshWithoutABoundPortSelectsTheFirstEntry) {
    Register({"COM2", "COM1"});
    selector_.Refresh();
    EXPECT_EQ(selector_.Text(), "COM1");
    FakePortTree empty;
    TComSelectorModel none(empty.Roots());
    none.Refresh();
    EXPECT_TRUE(none.Items().empty());
    EXPECT_EQ(none.ItemIndex(), TComSelectorModel::kNoEntry);
}

// The window offers ports on serial device servers after its own, in the
// order NKQ_REMOTE_PORTS gives them, and uses a picked one as any other.
TEST_F(ComSelector, RemotePortsFollowTheLocalOnesAndArePickedLikeThem) {
    VirtualModem modem;
    testing::TempFolder folder("selector");
    const testing::Ser2Net server({{modem.DevicePath(), testing::Ser2Net::Protocol::Rfc2217}}, folder.Path());
    const std::string remote = "socket://b.local:2 " + server.Url() + "\tsocket://a.local:1";
    ::setenv("NKQ_REMOTE_PORTS", remote.c_str(), 1);
    Register({"ttyUSB1", "ttyS0"});
    LoadSystemSelector(selector_, port_);
    ::unsetenv("NKQ_REMOTE_PORTS");
    EXPECT_EQ(selector_.Items(),
              (Names{"ttyS0", "ttyUSB1", "socket://b.local:2", server.Url(), "socket://a.local:1"}));
    selector_.PickEntry(3);
    EXPECT_EQ(port_.Port(), server.Url());
    port_.Open();
    EXPECT_EQ(port_.WriteText("STOP\r"), 5);
    port_.Close();
    EXPECT_TRUE(modem.WaitForCommandLines(1, std::chrono::seconds(10)));
    EXPECT_EQ(modem.CommandLines(), Names{"STOP"});
}

TEST_F(ComSelector, OtherPropertiesListNothing) {
    Register({"COM1"});
    selector_.Refresh();
    selector_.SetComProperty(TComProperty::cpBaudRate);
    EXPECT_TRUE(selector_.Items().empty());
    EXPECT_EQ(selector_.ItemIndex(), TComSelectorModel::kNoEntry);
}

TEST_F(ComSelector, BindingSelectsByNameAndUnbindingKeepsTheSelection) {
    Register({"COM1", "COM2"});
    selector_.Refresh();
    port_.SetPort("COM2");
    selector_.SetComPort(&port_);
    EXPECT_EQ(selector_.Text(), "COM2");
    int changes = 0;
    selector_.SetListener([&](TComSelectorChange) { ++changes; });
    selector_.SetComPort(&port_);
    EXPECT_EQ(changes, 0);
    selector_.SetComPort(nullptr);
    EXPECT_EQ(selector_.ComPort(), nullptr);
    EXPECT_EQ(selector_.Text(), "COM2");
}

TEST_F(ComSelector, DestroyedPortIsForgottenAndTheFirstEntrySelected) {
    Register({"COM1", "COM2"});
    auto port = std::make_unique<TComPort>(TComPortSetup::System);
    port->SetPort("COM2");
    LoadSystemSelector(selector_, *port);
    ASSERT_EQ(selector_.Text(), "COM2");
    port.reset();
    EXPECT_EQ(selector_.ComPort(), nullptr);
    EXPECT_EQ(selector_.Text(), "COM1");
    selector_.PickEntry(1);
    EXPECT_EQ(selector_.PendingName(), "COM2");
}

TEST_F(ComSelector, SelectorDestroyedBeforeItsPortIsNoLongerNotified) {
    Register({"COM1", "COM2"});
    auto port = std::make_unique<TComPort>(TComPortSetup::System);
    port->SetPort("COM2");
    TComSelectorModel survivor(tree_.Roots());
    survivor.Refresh();
    survivor.SetComPort(port.get());
    {
        TComSelectorModel gone(tree_.Roots());
        gone.SetComPort(port.get());
    }
    port.reset();
    EXPECT_EQ(survivor.ComPort(), nullptr);
    EXPECT_EQ(survivor.Text(), "COM1");
}

TEST_F(ComSelector, ListenerHearsEntriesAndSelectionChanges) {
    Register({"COM1", "COM2"});
    std::vector<TComSelectorChange> heard;
    selector_.SetListener([&](TComSelectorChange change) { heard.push_back(change); });
    selector_.Refresh();
    ASSERT_FALSE(heard.empty());
    EXPECT_EQ(heard.back(), TComSelectorChange::Selection);
    EXPECT_NE(std::find(heard.begin(), heard.end(), TComSelectorChange::Entries), heard.end());
    heard.clear();
    selector_.PickEntry(1);
    EXPECT_EQ(heard, std::vector<TComSelectorChange>{TComSelectorChange::Selection});
    heard.clear();
    selector_.PickEntry(1);
    EXPECT_TRUE(heard.empty());
}

}  // namespace
}  // namespace nkq
