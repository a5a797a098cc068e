#pragma once
// USB serial adapters hold received bytes for up to 16 ms before handing
// them on; every one-byte acknowledgement of a firmware upload would wait
// that long. Low-latency mode makes the driver hand bytes on at once. The
// request is a wish: pseudo-terminals and many drivers refuse it, and the
// port works the same, only slower to answer.
namespace nkq {

class LowLatencyMode {
public:
    // Asks the driver behind `fd` for low-latency mode; a refusal is ignored.
    explicit LowLatencyMode(int fd);
    // Puts the driver's setting back as it was found.
    ~LowLatencyMode();
    LowLatencyMode(const LowLatencyMode&) = delete;
    LowLatencyMode& operator=(const LowLatencyMode&) = delete;

    // True when this object switched the mode on and will switch it off.
    bool Switched() const { return switched_; }

private:
    int fd_;
    bool switched_ = false;
};

// The driver's low-latency flag: true or false, or -1 where the driver has
// no such setting.
int LowLatencyFlag(int fd);

}  // namespace nkq
