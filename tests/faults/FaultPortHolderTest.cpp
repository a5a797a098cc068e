// A second program holding the port: opening it fails clearly with code 1,
// also for root (who passes TIOCEXCL, so the flock must hold), and the port
// is free again as soon as the holder is gone, even when it was killed
// without a chance to clean up.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

#include "FaultSupport.h"
#include "serial/EComPort.h"

namespace nkq::faults {
namespace {

// A child process that opens the port with TComPort and holds it until killed.
class Holder {
public:
    explicit Holder(const std::string& path) {
        int ready[2];
        if (pipe(ready) != 0) throw std::system_error(errno, std::generic_category(), "pipe");
        pid_ = fork();
        if (pid_ == 0) HoldInChild(path, ready[1]);
        close(ready[1]);
        char answer = 0;
        held_ = read(ready[0], &answer, 1) == 1 && answer == 'y';
        close(ready[0]);
    }
    ~Holder() { End(SIGKILL); }
    Holder(const Holder&) = delete;
    Holder& operator=(const Holder&) = delete;

    bool Held() const { return held_; }

    // Returns the signal that ended the child.
    int End(int signal_number) {
        if (pid_ <= 0) return 0;
        kill(pid_, signal_number);
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    }

private:
    [[noreturn]] static void HoldInChild(const std::string& path, int ready) {
        try {
            TComPort port(TComPortSetup::System);
            port.SetPort(path);
            port.Open();
            [[maybe_unused]] const auto n = write(ready, "y", 1);
            for (;;) pause();
        } catch (...) {
            [[maybe_unused]] const auto n = write(ready, "n", 1);
        }
        _exit(1);
    }

    pid_t pid_ = -1;
    bool held_ = false;
};

class FaultPortHolder : public ::testing::TestWithParam<int> {
protected:
    Watchdog watchdog{std::chrono::seconds(20)};
    StalledLine line;  // a pseudo-terminal nobody reads; only its slave matters here
};

TEST_P(FaultPortHolder, OpenFailsWithCodeOneWhileHeldAndSucceedsOnceTheHolderIsGone) {
    Holder holder(line.Path());
    ASSERT_TRUE(holder.Held());
    TComPort port(TComPortSetup::System);
    port.SetPort(line.Path());
    try {
        port.Open();
        FAIL() << "opened a port another program holds (uid " << getuid() << ")";
    } catch (const EComPort& error) {
        EXPECT_EQ(error.MessageCode(), kComOpenFailed);
        EXPECT_EQ(error.Message().rfind("Unable to open com port (win error code: ", 0), 0u)
            << error.Message();
    }
    EXPECT_FALSE(port.Connected());

    EXPECT_EQ(holder.End(GetParam()), GetParam());
    port.Open();
    EXPECT_TRUE(port.Connected());
    port.Close();
}

INSTANTIATE_TEST_SUITE_P(HolderEnds, FaultPortHolder, ::testing::Values(SIGKILL, SIGTERM),
                         [](const auto& info) { return info.param == SIGKILL ? "Killed" : "Terminated"; });

}  // namespace
}  // namespace nkq::faults
