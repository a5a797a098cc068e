#pragma once
#include "serial/ComSettingsOwner.h"

namespace nkq {

// Time-outs in milliseconds. Every read and write takes them when it
// starts, so a change counts at once. ReadInterval is only stored: the
// port has no gap rule. A total of 0 means "do not wait" (the transfer
// takes what the device has or accepts at that moment) and negative
// totals count as 0, so no transfer can block without bound.
class TComTimeouts {
public:
    static constexpr int kNoInterval = -1;

    explicit TComTimeouts(TComSettingsOwner& owner) : owner_(owner) {}
    TComTimeouts(const TComTimeouts&) = delete;
    TComTimeouts& operator=(const TComTimeouts&) = delete;

    TComSettingsOwner& Owner() const { return owner_; }

    int ReadInterval() const { return read_interval_; }
    void SetReadInterval(int value) { read_interval_ = value; }
    int ReadTotalMultiplier() const { return read_total_multiplier_; }
    void SetReadTotalMultiplier(int value) { read_total_multiplier_ = value; }
    int ReadTotalConstant() const { return read_total_constant_; }
    void SetReadTotalConstant(int value) { read_total_constant_ = value; }
    int WriteTotalMultiplier() const { return write_total_multiplier_; }
    void SetWriteTotalMultiplier(int value) { write_total_multiplier_ = value; }
    int WriteTotalConstant() const { return write_total_constant_; }
    void SetWriteTotalConstant(int value) { write_total_constant_ = value; }

private:
    TComSettingsOwner& owner_;
    int read_interval_ = kNoInterval;
    int read_total_multiplier_ = 0;
    int read_total_constant_ = 0;
    int write_total_multiplier_ = 100;
    int write_total_constant_ = 1000;
};

}  // namespace nkq
