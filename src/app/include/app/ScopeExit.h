#pragma once
// Runs a clean-up when a scope ends, on success and on failure alike, so an
// operation writes its "close the port, restore the cursor" once.
#include <utility>

namespace nkq {

template <typename CleanUp>
class ScopeExit {
public:
    explicit ScopeExit(CleanUp clean_up) : clean_up_(std::move(clean_up)) {}
    // The clean-up must not raise: it may run while a failure unwinds.
    ~ScopeExit() { clean_up_(); }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;

private:
    CleanUp clean_up_;
};

}  // namespace nkq
