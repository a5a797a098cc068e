#pragma once
// A reply that never ends: chunks of a text, round and round, at a steady
// interval until a time limit. The caller passes the time, sends the chunks
// and stops the trickle when input arrives.
#include <chrono>
#include <cstddef>
#include <string>

namespace nkq {

class EndlessTrickle {
public:
    using Clock = std::chrono::steady_clock;

    // An empty text starts nothing.
    void Start(std::string text, std::chrono::milliseconds limit, Clock::time_point now);
    void Stop() { active_ = false; }
    bool Active() const { return active_; }
    Clock::time_point NextDue() const { return next_; }

    // The chunk due at `now`, empty when none is; past the limit the trickle ends.
    std::string Take(Clock::time_point now);

private:
    std::string text_;
    std::size_t position_ = 0;
    Clock::time_point next_;
    Clock::time_point until_;
    bool active_ = false;
};

}  // namespace nkq
