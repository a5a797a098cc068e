#pragma once
#include "serial/ComSettingsOwner.h"

namespace nkq {

// Queue sizes recommended to the driver. Linux terminals have fixed
// queues, so the sizes are only stored.
class TComBuffer {
public:
    explicit TComBuffer(TComSettingsOwner& owner) : owner_(owner) {}
    TComBuffer(const TComBuffer&) = delete;
    TComBuffer& operator=(const TComBuffer&) = delete;

    TComSettingsOwner& Owner() const { return owner_; }

    int InputSize() const { return input_size_; }
    void SetInputSize(int value) { input_size_ = value; }
    int OutputSize() const { return output_size_; }
    void SetOutputSize(int value) { output_size_ = value; }

private:
    TComSettingsOwner& owner_;
    int input_size_ = 1024;
    int output_size_ = 1024;
};

}  // namespace nkq
