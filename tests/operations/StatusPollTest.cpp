// The status session and its polls against the virtual modem over a real
// pseudo-terminal, with the protocol's real waits.
#include <gtest/gtest.h>

#include <chrono>

#include "ModemFixture.h"
#include "Timing.h"
#include "app/Failure.h"
#include "app/OperatorMessages.h"
#include "operations/ServerStatus.h"
#include "operations/StatusPollCycle.h"
#include "serial/ComPort.h"
#include "serial/EComPort.h"

namespace nkq::testing {
namespace {

using namespace std::chrono_literals;
using Lines = std::vector<std::string>;

// The cycle shows its text through `shown`.
class StatusPollTest : public ModemFixture {
protected:
    std::vector<std::string> shown;
    StatusPollCycle cycle{port, op, [this](const std::string& text) { shown.push_back(text); }};
};

TEST_F(StatusPollTest, TheTimerRunsFromOpeningWithTheFiveSecondInterval) {
    EXPECT_FALSE(cycle.TimerRunning());
    EXPECT_EQ(cycle.Interval(), 5000ms);
    EXPECT_EQ(cycle.Text(), "Текущие подключения");
    cycle.Opened();
    EXPECT_TRUE(cycle.TimerRunning());
}

TEST_F(StatusPollTest, APollListsTheConnectionsAndRestartsTheTimer) {
    port.Open();
    cycle.Opened();
    cycle.TimerFired();
    EXPECT_TRUE(cycle.TimerRunning());
    const std::string expected = "Текущие подключения:\r\n192.168.0.5:1234\r\n10.20.30.40:5000\r\n";
    EXPECT_EQ(cycle.Text(), expected);
    EXPECT_EQ(shown, Lines{expected});
    EXPECT_EQ(cycle.FAnswer(), "IP 192.168.0.5:1234\r\nIP 10.20.30.40:5000\r\nOK") << "trimmed at both ends";
    EXPECT_EQ(Received(), Lines{"TCP"});
    EXPECT_TRUE(op.Calls().empty());
    EXPECT_TRUE(port.Connected()) << "the port stays open between polls";
}

TEST_F(StatusPollTest, AReplyWithoutConnectionsShowsOnlyTheHeading) {
    modem->UpdateBehaviour([](ModemBehaviour& b) { b.connections.clear(); });
    port.Open();
    cycle.Opened();
    cycle.TimerFired();
    EXPECT_EQ(cycle.Text(), "Текущие подключения:\r\n");
    EXPECT_TRUE(cycle.TimerRunning());
}

TEST_F(StatusPollTest, ATimeOutLeavesTheTimerStoppedAndTheTextAsItWas) {
    port.Open();
    cycle.Opened();
    cycle.TimerFired();
    const std::string before = cycle.Text();
    modem->UpdateBehaviour([](ModemBehaviour& b) { b.silent = true; });
    EXPECT_TRUE(TookOneWait(Timed([&] { EXPECT_THROW(cycle.TimerFired(), EAbort); }), kTimeout - 100ms));
    EXPECT_FALSE(cycle.TimerRunning());
    EXPECT_EQ(cycle.Text(), before);
    EXPECT_EQ(shown.size(), 1u);
    EXPECT_EQ(op.Messages(), Lines{messages::kTimeout});
    EXPECT_TRUE(port.Connected()) << "the session still owes the modem its START";
    cycle.TimerFired();  // a tick already queued must not poll again
    EXPECT_EQ(Received(), (Lines{"TCP", "TCP"}));
}

TEST_F(StatusPollTest, ClosingBeforeTheFirstPollSendsNoQuery) {
    port.Open();
    cycle.Opened();
    cycle.Closed();
    EXPECT_FALSE(cycle.TimerRunning());
    cycle.TimerFired();
    EXPECT_TRUE(Received().empty());
    EXPECT_EQ(cycle.Text(), "Текущие подключения");
}

TEST_F(StatusPollTest, ShowStateSendsStopThenShowsTheWindowThenSendsStartAndCloses) {
    Lines seen_by_window;
    std::chrono::steady_clock::duration stop_to_window{};
    const auto start = std::chrono::steady_clock::now();
    RunStatusSession(port, [&](TCustomComPort& open_port) {
        stop_to_window = std::chrono::steady_clock::now() - start;
        EXPECT_EQ(&open_port, &port);
        EXPECT_TRUE(open_port.Connected());
        seen_by_window = Received();
        cycle.Opened();
        cycle.TimerFired();
        cycle.Closed();
    });
    EXPECT_EQ(seen_by_window, Lines{"STOP"});
    EXPECT_TRUE(TookOneWait(stop_to_window, 500ms, 500ms));
    EXPECT_EQ(Received(), (Lines{"STOP", "TCP", "START"}));
    EXPECT_FALSE(modem->TrafficStopped());
    EXPECT_TRUE(PortWasReleased());
}

TEST_F(StatusPollTest, AfterATimeOutClosingTheWindowStillSendsStartAndClosesThePort) {
    modem->UpdateBehaviour([](ModemBehaviour& b) { b.silent = true; });
    RunStatusSession(port, [&](TCustomComPort&) {
        cycle.Opened();
        // The window's error display drops the silent abort.
        EXPECT_THROW(cycle.TimerFired(), EAbort);
    });
    EXPECT_EQ(Received(), (Lines{"STOP", "TCP", "START"}));
    EXPECT_FALSE(modem->TrafficStopped());
    EXPECT_TRUE(PortWasReleased());
}

TEST_F(StatusPollTest, AFailureInTheWindowStillSendsStartAndClosesThePort) {
    struct WindowFailure {};
    EXPECT_THROW(RunStatusSession(port, [](TCustomComPort&) { throw WindowFailure{}; }), WindowFailure);
    EXPECT_EQ(Received(), (Lines{"STOP", "START"}));
    EXPECT_TRUE(PortWasReleased());
}

}  // namespace
}  // namespace nkq::testing
