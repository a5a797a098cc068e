#pragma once
// The modem's own data traffic, held while the workstation talks to it:
// "STOP" and a pause before, "START" after. Once "STOP" has been sent, a
// modem left without "START" stays stopped, so from then on "START" is owed
// on every path, failures included.
namespace nkq {

class TCustomComPort;

class HeldTraffic {
public:
    // Sends nothing yet; the port must be open by the time Stop() is called.
    explicit HeldTraffic(TCustomComPort& port) : port_(port) {}
    // Sends "START" if it is still owed; a failure is ignored here, since only
    // a failing operation gets this far without Resume().
    ~HeldTraffic();
    HeldTraffic(const HeldTraffic&) = delete;
    HeldTraffic& operator=(const HeldTraffic&) = delete;

    // "STOP", then the pause the modem needs. "START" is owed even when the
    // write of "STOP" fails part-way.
    void Stop();
    // "START"; a failure raises (it is still no longer owed).
    void Resume();

private:
    TCustomComPort& port_;
    bool owed_ = false;
};

}  // namespace nkq
