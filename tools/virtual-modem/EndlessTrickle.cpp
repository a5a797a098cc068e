#include "EndlessTrickle.h"

#include <utility>

namespace nkq {

namespace {

using namespace std::chrono_literals;

constexpr auto kInterval = 50ms;
constexpr std::size_t kChunk = 16;

}  // namespace

void EndlessTrickle::Start(std::string text, std::chrono::milliseconds limit, Clock::time_point now) {
    if (text.empty()) return;
    text_ = std::move(text);
    position_ = 0;
    next_ = now;
    until_ = now + limit;
    active_ = true;
}

std::string EndlessTrickle::Take(Clock::time_point now) {
    if (active_ && now >= until_) active_ = false;
    if (!active_ || now < next_) return {};
    std::string chunk;
    for (std::size_t i = 0; i < kChunk; ++i) {
        chunk += text_[position_];
        position_ = (position_ + 1) % text_.size();
    }
    next_ += kInterval;
    return chunk;
}

}  // namespace nkq
