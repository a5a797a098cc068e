#pragma once
// What the modem does about the input it has just taken, as steps for the
// line around the protocol to carry out in order: each step first waits its
// time, then sends, starts an endless trickle or hangs the line up.
#include <chrono>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace nkq {

struct ModemStep {
    enum class Kind { Send, Trickle, HangUp };

    Kind kind = Kind::Send;
    std::chrono::milliseconds wait{0};   // before the step
    std::string bytes;                   // Send: what goes out (none from a silent modem);
                                         // Trickle: the text sent round and round
    std::chrono::milliseconds limit{0};  // Trickle: how long it lasts; HangUp: how long the line is held

    static ModemStep Send(std::chrono::milliseconds wait, std::string bytes) {
        return {Kind::Send, wait, std::move(bytes), {}};
    }
    static ModemStep Trickle(std::chrono::milliseconds wait, std::string text,
                             std::chrono::milliseconds limit) {
        return {Kind::Trickle, wait, std::move(text), limit};
    }
    static ModemStep HangUp(std::chrono::milliseconds linger) { return {Kind::HangUp, {}, {}, linger}; }
};

struct ModemReaction {
    std::size_t consumed = 0;   // input bytes taken
    bool line_taken = false;    // a whole text line was taken
    bool packet_taken = false;  // a whole firmware packet was taken, or an upload ended
    std::vector<ModemStep> steps;

    bool Empty() const { return !line_taken && !packet_taken && steps.empty(); }
};

}  // namespace nkq
