#pragma once
// One TCP connection to a serial device server, with every wait bounded:
// the name resolved and the connection made within a time-out, sends that
// stop at a deadline, receives that never wait. Failures are
// SerialDeviceErrors that say in words what happened.
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

#include "Deadline.h"
#include "SocketCalls.h"

namespace nkq {

class TcpSocket {
public:
    // Resolves `host` and connects to the first of its addresses that
    // accepts, all within `timeout`.
    TcpSocket(const std::string& host, std::uint16_t port, std::chrono::milliseconds timeout);
    // Ends our stream after what was sent and takes what the server still
    // sends until it ends its own (within kCloseWait), so that closing
    // never resets the connection under bytes the server has not yet
    // passed on; then closes. A failed or abandoned connection is closed
    // at once.
    ~TcpSocket();
    TcpSocket(const TcpSocket&) = delete;
    TcpSocket& operator=(const TcpSocket&) = delete;

    static constexpr std::chrono::milliseconds kCloseWait{1000};
    // A server that floods the line cannot keep a receive going for ever.
    static constexpr std::size_t kReceiveLimit = 64 * 1024;

    // Sends as much of `bytes` as the connection takes before `deadline`;
    // returns how much went.
    std::size_t Send(std::string_view bytes, const Deadline& deadline);
    // What has arrived (up to kReceiveLimit), without waiting; empty when
    // nothing has. Once the
    // server has ended its stream, Ended() is true.
    std::string Receive();
    bool Ended() const { return ended_; }
    // Waits until something arrives (or the stream ends) or the deadline
    // passes; true when something is there.
    bool WaitReadable(const Deadline& deadline);
    // The connection is of no more use: closing it waits for nothing.
    void Abandon() { abandoned_ = true; }

private:
    [[noreturn]] void Fail(int error_number);

    net::Socket socket_ = net::kNoSocket;
    bool ended_ = false;
    int pending_error_ = 0;  // a receive failure behind bytes already handed on
    bool abandoned_ = false;
};

}  // namespace nkq
