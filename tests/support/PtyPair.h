#pragma once
// Both ends of a real pseudo-terminal: the port under test opens the slave
// path, the test plays the modem on the master side.
#include <atomic>
#include <chrono>
#include <string>
#include <string_view>

namespace nkq::testing {

class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    const std::string& SlavePath() const { return slave_path_; }
    // The pair's own descriptor of the slave, to look at the line the port
    // set; -1 after ReleaseSlave.
    int Slave() const { return slave_; }
    int MasterFd() const { return master_; }

    // Closes the pair's slave descriptor, so that the port's own is the only
    // one, as with a real device (its last close is then the port's).
    void ReleaseSlave();

    void WriteMaster(std::string_view bytes);
    // Collects what the port sent until `max` bytes arrived or `wait` passed.
    std::string ReadMaster(std::size_t max, std::chrono::milliseconds wait);
    // Makes the device vanish for the port (hang-up); safe to call twice and
    // from another thread.
    void CloseMaster();

private:
    std::atomic<int> master_{-1};
    int slave_ = -1;
    std::string slave_path_;
};

}  // namespace nkq::testing
