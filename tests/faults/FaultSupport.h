#pragma once
// What the fault-injection tests share: a watchdog that turns a hang into a
// failure, clocks for wall and CPU time, a storm of signals without
// SA_RESTART, a line whose far end never reads, and the modem fixture under
// a watchdog.
#include <gtest/gtest.h>
#include <pthread.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "ModemFixture.h"
#include "PtyPair.h"

namespace nkq::faults {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// Ends the whole test program, naming the test, when it runs past `limit`:
// a fault that makes an operation hang must fail, not stall the suite.
class Watchdog {
public:
    explicit Watchdog(std::chrono::seconds limit);
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    std::mutex mutex_;
    std::condition_variable done_;
    bool finished_ = false;
    std::thread thread_;
};

// Wall time and the CPU time of the whole process (every thread, the
// virtual modem's included) since construction. Waiting is proven by CPU
// time below half the wall time: a loop polling the line would burn a core
// for all of it on an idle machine, and a busy machine only lowers the share
// any thread gets.
class Stopwatch {
public:
    Stopwatch();
    std::chrono::milliseconds Wall() const;
    std::chrono::milliseconds Cpu() const;

private:
    Clock::time_point wall_start_;
    std::chrono::nanoseconds cpu_start_;
};

std::chrono::nanoseconds ProcessCpuTime();

// SIGUSR1 sent every `period`, with a handler installed WITHOUT SA_RESTART,
// so every blocking call of the target may end early with EINTR. Aimed at
// one thread, or at the process (the kernel then picks any thread that does
// not block the signal: the exchange's worker and the modem's thread too).
class SignalStorm {
public:
    enum class Target { Thread, Process };
    explicit SignalStorm(Target target, std::chrono::microseconds period = 2000us);
    ~SignalStorm();
    SignalStorm(const SignalStorm&) = delete;
    SignalStorm& operator=(const SignalStorm&) = delete;

    // Signals handled so far, in any thread.
    static int Delivered();

private:
    void Run(Target target, pthread_t victim, std::chrono::microseconds period);

    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// Runs `call` in a storm aimed at `target`; returns the signals handled while
// it ran. How many arrive depends on the machine's load, so a test asks only
// that some did.
template <class Call>
int DuringStorm(SignalStorm::Target target, Call&& call, std::chrono::microseconds period = 2000us) {
    SignalStorm storm(target, period);
    const int before = SignalStorm::Delivered();
    call();
    return SignalStorm::Delivered() - before;
}

// A pseudo-terminal whose master side is never read: the line's buffer
// fills and stays full, as with a modem that has stopped reading. No slave
// descriptor stays open but the ones the test opens.
class StalledLine {
public:
    StalledLine();

    const std::string& Path() const { return pty_.SlavePath(); }
    // Writes on the slave side until the line takes no more; returns the bytes it took.
    std::size_t Fill();
    // Hands bytes to the slave's reader as far as the line takes them now.
    std::size_t WriteMaster(const std::string& bytes);

private:
    nkq::testing::PtyPair pty_;
};

// The modem fixture under a watchdog.
class ModemFaultTest : public nkq::testing::ModemFixture {
protected:
    // Ends the modem under the watchdog too.
    void TearDown() override { modem.reset(); }

    // The port object works on: it opens a fresh modem and talks to it.
    void ExpectPortReusable();
    // The modem's command lines once the last is "START" (it reads on its
    // own thread), or as they are when it never comes.
    std::vector<std::string> LinesUpToStart() const;

    Watchdog watchdog{std::chrono::seconds(45)};
};

}  // namespace nkq::faults
