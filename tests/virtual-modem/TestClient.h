#pragma once
// The workstation's side of the virtual line, written with plain POSIX calls
// so the modem is checked without the product's serial port.
#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

namespace nkq::testing {

class TestClient {
public:
    // Opens the device raw, like a serial port at 115200 8N1; throws on failure.
    explicit TestClient(const std::string& path);
    ~TestClient();
    TestClient(const TestClient&) = delete;
    TestClient& operator=(const TestClient&) = delete;

    // False when the line would not take all bytes (the device went away).
    bool Write(std::string_view bytes);
    bool WriteLine(std::string_view text) { return Write(std::string(text) + "\r"); }

    // Up to `count` bytes, whatever has arrived when the time runs out.
    std::string ReadExactly(std::size_t count, std::chrono::milliseconds timeout);
    // Everything until the line has been quiet for `quiet` after the first byte;
    // empty when nothing came within `first`.
    std::string ReadUntilQuiet(std::chrono::milliseconds first, std::chrono::milliseconds quiet);
    // Everything until the text ends with `suffix`, or the time runs out.
    std::string ReadUntil(std::string_view suffix, std::chrono::milliseconds timeout);

    // True once a read has reported the end of the device (0 bytes or EIO).
    bool DeviceGone() const { return gone_; }
    // Reads (and discards) until the device goes away or the time runs out.
    bool WaitForDeviceGone(std::chrono::milliseconds timeout);

private:
    // One read of what is waiting, after up to `timeout` of waiting for it.
    std::string ReadSome(std::chrono::milliseconds timeout);

    int fd_ = -1;
    bool gone_ = false;
};

}  // namespace nkq::testing
