#pragma once
// A real ser2net serving devices of this machine on 127.0.0.1, each on a
// free TCP port of its own, with a configuration file written here (the
// README's: passing the device's bytes on at once): the serial device
// server that network ports are proven against (tests and benchmarks).
// Plain POSIX, no test framework.
#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

namespace nkq::testing {

class Ser2Net {
public:
    enum class Protocol { Rfc2217, Raw };
    struct Line {
        std::string device;
        Protocol protocol;
    };

    // Starts ser2net (from PATH) with its files in `folder` and waits until
    // it listens on every port; throws std::runtime_error when it does not.
    Ser2Net(const std::vector<Line>& lines, const std::filesystem::path& folder);
    // Ends ser2net (SIGTERM) and waits for it.
    ~Ser2Net();
    Ser2Net(const Ser2Net&) = delete;
    Ser2Net& operator=(const Ser2Net&) = delete;

    // "rfc2217://127.0.0.1:PORT" or "socket://127.0.0.1:PORT" for line `index`.
    std::string Url(std::size_t index = 0) const;
    // Ends ser2net at once (SIGKILL), as a crash or a pulled cable would.
    void Kill();

    // A TCP port on 127.0.0.1 that nothing listens on right now.
    static int FreePort();

private:
    // One start on new ports; false when ser2net did not come to listen on all.
    bool Start(const std::filesystem::path& folder);
    void Stop(int signal_number);

    std::vector<Line> lines_;
    std::vector<int> ports_;
    pid_t pid_ = -1;
};

}  // namespace nkq::testing
