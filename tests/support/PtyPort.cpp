#include "PtyPort.h"

#include "Timing.h"

namespace nkq::testing {

void AwaitQueued(TCustomComPort& port, int count) {
    WaitUntil([&] { return port.BytesWaiting() >= count; }, std::chrono::seconds(5));
    ASSERT_EQ(port.BytesWaiting(), count);
}

}  // namespace nkq::testing
