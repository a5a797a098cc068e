// A step asked in step, over a real pseudo-terminal: sent only on a quiet
// line, its answer read by the caller's reader.
#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>

#include "PtyPair.h"
#include "serial/ComPort.h"
#include "serial/InStep.h"

namespace nkq {
namespace {

using namespace std::chrono_literals;

class InStep : public ::testing::Test {
protected:
    void SetUp() override {
        port.SetPort(pty.SlavePath());
        port.Open();
    }

    std::optional<std::string> Ask(std::string_view step) {
        return AskInStep(port, step, [](TCustomComPort& p) {
            std::string answer;
            p.ReadText(answer, 1);
            return answer;
        });
    }

    testing::PtyPair pty;
    TComPort port{TComPortSetup::System};
};

TEST_F(InStep, OnAQuietLineSendsTheStepAsItIsAndReturnsItsAnswer) {
    const std::string step("S\0\r", 3);
    std::thread answer([&] {
        EXPECT_EQ(pty.ReadMaster(step.size(), 3000ms), step);
        pty.WriteMaster("0");
    });
    EXPECT_EQ(Ask(step), std::optional<std::string>("0"));
    answer.join();
}

TEST_F(InStep, InputAlreadyWaitingSendsNothing) {
    pty.WriteMaster("1");
    for (int i = 0; i < 200 && port.BytesWaiting() == 0; ++i) std::this_thread::sleep_for(10ms);
    ASSERT_GT(port.BytesWaiting(), 0);
    EXPECT_EQ(Ask("S"), std::nullopt);
    EXPECT_EQ(pty.ReadMaster(1, 200ms), "") << "a step out of step must not leave the port";
}

}  // namespace
}  // namespace nkq
