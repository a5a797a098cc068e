#pragma once
// A port of the workstation's setup on a fresh pseudo-terminal, for the
// tests of the port itself: the test plays the modem on the master side.
#include <gtest/gtest.h>

#include "PtyPair.h"
#include "serial/ComPort.h"

namespace nkq::testing {

// Waits until `port` sees `count` bytes queued: the pseudo-terminal hands
// what the master wrote on through a kernel work queue, not at once.
void AwaitQueued(TCustomComPort& port, int count);

class PtyPortTest : public ::testing::Test {
protected:
    PtyPortTest() { port.SetPort(pty.SlavePath()); }

    void AwaitQueued(int count) { testing::AwaitQueued(port, count); }

    PtyPair pty;
    TComPort port{TComPortSetup::System};
};

// The same, opened before the test starts.
class OpenPtyPortTest : public PtyPortTest {
protected:
    void SetUp() override { port.Open(); }
};

}  // namespace nkq::testing
