#include "FaultSupport.h"

#include "Timing.h"

#include <fcntl.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <system_error>

namespace nkq::faults {

namespace {

std::atomic<int> signals_delivered{0};

void CountSignal(int) { signals_delivered.fetch_add(1, std::memory_order_relaxed); }

// Helper threads must never be the ones a process-directed signal picks.
void BlockStormSignal() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGUSR1);
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

std::string CurrentTestName() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return info ? std::string(info->test_suite_name()) + "." + info->name() : "(no test)";
}

}  // namespace

Watchdog::Watchdog(std::chrono::seconds limit) {
    const std::string test = CurrentTestName();
    thread_ = std::thread([this, limit, test] {
        BlockStormSignal();
        std::unique_lock lock(mutex_);
        if (done_.wait_for(lock, limit, [this] { return finished_; })) return;
        std::fprintf(stderr, "watchdog: %s still running after %llds; a fault made it hang\n", test.c_str(),
                     static_cast<long long>(limit.count()));
        std::_Exit(3);
    });
}

Watchdog::~Watchdog() {
    {
        std::lock_guard lock(mutex_);
        finished_ = true;
    }
    done_.notify_all();
    thread_.join();
}

std::chrono::nanoseconds ProcessCpuTime() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

Stopwatch::Stopwatch() : wall_start_(Clock::now()), cpu_start_(ProcessCpuTime()) {}

std::chrono::milliseconds Stopwatch::Wall() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - wall_start_);
}

std::chrono::milliseconds Stopwatch::Cpu() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(ProcessCpuTime() - cpu_start_);
}

SignalStorm::SignalStorm(Target target, std::chrono::microseconds period) {
    struct sigaction action {};
    action.sa_handler = CountSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART: interrupted calls fail with EINTR
    sigaction(SIGUSR1, &action, nullptr);
    const pthread_t victim = pthread_self();
    thread_ = std::thread([this, target, victim, period] { Run(target, victim, period); });
}

SignalStorm::~SignalStorm() {
    stop_ = true;
    thread_.join();
    // Signals still pending stay harmless: the handler stays installed.
}

int SignalStorm::Delivered() { return signals_delivered.load(); }

void SignalStorm::Run(Target target, pthread_t victim, std::chrono::microseconds period) {
    BlockStormSignal();
    while (!stop_) {
        if (target == Target::Thread) {
            pthread_kill(victim, SIGUSR1);
        } else {
            kill(getpid(), SIGUSR1);
        }
        std::this_thread::sleep_for(period);
    }
}

StalledLine::StalledLine() {
    pty_.ReleaseSlave();
    fcntl(pty_.MasterFd(), F_SETFL, fcntl(pty_.MasterFd(), F_GETFL) | O_NONBLOCK);
}

std::size_t StalledLine::Fill() {
    const int fd = open(Path().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) throw std::system_error(errno, std::generic_category(), "open " + Path());
    const std::string chunk(1024, 'F');
    std::size_t taken = 0;
    // The kernel moves written bytes on to the far side's buffer a moment
    // later, which makes room again; the line is full only when a pause
    // brings no more room.
    for (std::size_t round = 1; round > 0;) {
        round = 0;
        for (;;) {
            const auto n = write(fd, chunk.data(), chunk.size());
            if (n > 0) {
                round += static_cast<std::size_t>(n);
            } else if (n < 0 && errno != EINTR) {
                break;
            }
        }
        taken += round;
        std::this_thread::sleep_for(20ms);
    }
    close(fd);
    return taken;
}

std::size_t StalledLine::WriteMaster(const std::string& bytes) {
    const auto n = write(pty_.MasterFd(), bytes.data(), bytes.size());
    return n > 0 ? static_cast<std::size_t>(n) : 0;
}

void ModemFaultTest::ExpectPortReusable() {
    ASSERT_FALSE(port.Connected()) << "the failed operation left the port open";
    StartModem();
    port.Open();
    EXPECT_EQ(port.WriteText("STOP\r"), 5);
    port.Close();
    EXPECT_TRUE(modem->WaitForCommandLines(1, 10s));
    EXPECT_EQ(modem->CommandLines(), std::vector<std::string>{"STOP"});
}

std::vector<std::string> ModemFaultTest::LinesUpToStart() const {
    nkq::testing::WaitUntil([&] {
        const auto lines = modem->CommandLines();
        return !lines.empty() && lines.back() == "START";
    });
    return modem->CommandLines();
}

}  // namespace nkq::faults
