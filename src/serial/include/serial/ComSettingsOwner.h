#pragma once
// The back reference that each settings object holds to its port: a changed
// line setting must reach the device at once while the port is open.
namespace nkq {

class TComSettingsOwner {
public:
    // Re-applies the line settings when open; raises EComPort code 7 when
    // the device rejects them.
    virtual void ApplyLineSettings() = 0;

protected:
    ~TComSettingsOwner() = default;
};

// Stores `value` and applies it; a rejected value is taken back so that a
// failure leaves the configuration as it was.
template <class T>
void ChangeLineSetting(TComSettingsOwner& owner, T& field, const T& value) {
    if (field == value) return;
    const T previous = field;
    field = value;
    try {
        owner.ApplyLineSettings();
    } catch (...) {
        field = previous;
        throw;
    }
}

}  // namespace nkq
