#pragma once
// A workstation side (port, parameter set, recording operator) wired to a
// virtual modem over a real pseudo-terminal.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "RecordingOperator.h"
#include "TestFiles.h"
#include "VirtualModem.h"
#include "params/ParameterSession.h"
#include "params/ParameterSet.h"
#include "serial/ComPort.h"

namespace nkq::testing {

class ModemFixture : public ::testing::Test {
protected:
    void SetUp() override {
        set.ApplyStartupRules();
        StartModem({});
    }

    void StartModem(ModemSetup setup) {
        modem.reset();
        modem = std::make_unique<VirtualModem>(std::move(setup));
        port.SetPort(modem->DevicePath());
    }

    void Behave(const std::function<void(ModemBehaviour&)>& change) { modem->UpdateBehaviour(change); }

    // The port was closed by the operation: another open succeeds at once.
    bool PortWasReleased() {
        return !port.Connected() && DeviceIsFree(modem->DevicePath());
    }

    // The command lines the modem received, once the line has been quiet
    // for a moment: the modem reads on its own thread.
    std::vector<std::string> Received() const {
        std::size_t seen = modem->ReceivedBytes().size();
        for (;;) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            const std::size_t now = modem->ReceivedBytes().size();
            if (now == seen) return modem->CommandLines();
            seen = now;
        }
    }

    std::unique_ptr<VirtualModem> modem;
    TComPort port{TComPortSetup::System};
    ParameterSet set;
    RecordingOperator op;
    ParameterSession session{port, set, op, {}};
};

// Runs `operation` and returns how long it took; failures propagate.
template <typename Operation>
std::chrono::milliseconds Timed(Operation&& operation) {
    const auto start = std::chrono::steady_clock::now();
    operation();
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
}

}  // namespace nkq::testing
