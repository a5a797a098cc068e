#pragma once
// What every kind of field shares: an enabled state that the window's rules set
// as state, and a hook that tells the owner when the field changed, so a window
// mirroring the model can refresh just that one control.
#include <functional>
#include <utility>

namespace nkq {

enum class ChangeKind { Value, Enabled };

class Field {
public:
    using ChangeHook = std::function<void(ChangeKind)>;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);

    void SetChangeHook(ChangeHook hook) { hook_ = std::move(hook); }

protected:
    Field() = default;
    ~Field() = default;
    Field(const Field&) = default;
    Field& operator=(const Field&) = default;

    void Changed(ChangeKind kind) const {
        if (hook_) hook_(kind);
    }

private:
    bool enabled_ = true;
    ChangeHook hook_;
};

inline void Field::SetEnabled(bool enabled) {
    if (enabled_ == enabled) return;
    enabled_ = enabled;
    Changed(ChangeKind::Enabled);
}

}  // namespace nkq
