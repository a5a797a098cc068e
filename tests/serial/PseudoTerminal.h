#pragma once
// A real pseudo-terminal for the port tests: the port opens the slave path,
// the test plays the modem on the master side.
#include <atomic>
#include <chrono>
#include <string>
#include <string_view>
#include <thread>

namespace nkq::test {

class PseudoTerminal {
public:
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    const std::string& SlavePath() const { return slave_path_; }
    int Slave() const { return slave_; }

    void WriteMaster(std::string_view bytes);
    // Collects what the port sent until `max` bytes arrived or `wait` passed.
    std::string ReadMaster(std::size_t max, std::chrono::milliseconds wait);
    // Makes the device vanish for the port (hang-up); safe to call twice.
    void CloseMaster();

private:
    std::atomic<int> master_{-1};
    int slave_ = -1;
    std::string slave_path_;
};

// Runs `action` on its own thread after `delay`; joined on destruction.
class Later {
public:
    template <class Action>
    Later(std::chrono::milliseconds delay, Action action)
        : thread_([delay, action]() mutable {
              std::this_thread::sleep_for(delay);
              action();
          }) {}

private:
    std::jthread thread_;
};

using Clock = std::chrono::steady_clock;

inline long long MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

}  // namespace nkq::test
