// A step is sent only on a quiet line (the steps that are answered are
// covered end to end by the write and the firmware update).
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

TEST(InStep, InputAlreadyWaitingSendsNothingAndReadsNoAnswer) {
    testing::PtyPair pty;
    TComPort port{TComPortSetup::System};
    port.SetPort(pty.SlavePath());
    port.Open();
    pty.WriteMaster("1");
    for (int i = 0; i < 200 && port.BytesWaiting() == 0; ++i) std::this_thread::sleep_for(10ms);
    ASSERT_GT(port.BytesWaiting(), 0);
    bool read = false;
    EXPECT_EQ(AskInStep(port, "S",
                        [&read](TCustomComPort&) {
                            read = true;
                            return std::string("0");
                        }),
              std::nullopt);
    EXPECT_FALSE(read);
    EXPECT_EQ(pty.ReadMaster(1, 200ms), "") << "a step out of step must not leave the port";
}

}  // namespace
}  // namespace nkq
