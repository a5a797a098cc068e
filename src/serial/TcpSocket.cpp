#include "TcpSocket.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "SerialDevice.h"
#include "app/Failure.h"
#include "app/LibraryText.h"
#include "app/MessageText.h"

namespace nkq {

namespace {

using net::SocketAddress;

struct Resolution {
    std::mutex mutex;
    std::condition_variable done_signal;
    bool done = false;
    int error = 0;
    std::vector<SocketAddress> addresses;
};

std::string MillisecondsText(std::chrono::milliseconds span) { return std::to_string(span.count()); }

[[noreturn]] void FailUnresolved(const std::string& host, int error_number) {
    throw SerialDeviceError(error_number, FillIn(LibraryText("cannot resolve the host name %s"), {host}));
}

// An address is taken as it is; a name goes to the resolver on a thread of
// its own, since the system's resolver has no time-out of ours: when the
// deadline passes first, that thread finishes alone and its answer is dropped.
std::vector<SocketAddress> Resolve(const std::string& host, std::uint16_t port, const Deadline& deadline) {
    std::vector<SocketAddress> addresses;
    if (net::ResolveAddresses(host, port, true, addresses) == 0) return addresses;
    auto resolution = std::make_shared<Resolution>();
    std::thread([resolution, host, port] {
        std::vector<SocketAddress> found;
        const int error = net::ResolveAddresses(host, port, false, found);
        const std::lock_guard lock(resolution->mutex);
        resolution->error = error;
        resolution->addresses = std::move(found);
        resolution->done = true;
        resolution->done_signal.notify_all();
    }).detach();
    std::unique_lock lock(resolution->mutex);
    if (!resolution->done_signal.wait_for(lock, deadline.Remaining(), [&] { return resolution->done; }))
        FailUnresolved(host, net::kTimedOut);
    if (resolution->error != 0) FailUnresolved(host, resolution->error);
    return std::move(resolution->addresses);
}

std::string ConnectFailureText(int error_number, std::chrono::milliseconds timeout) {
    if (error_number == net::kRefused) return LibraryText("the connection was refused");
    if (error_number == net::kTimedOut)
        return FillIn(LibraryText("no answer within %d ms"), {MillisecondsText(timeout)});
    return SystemErrorText(error_number);
}

// Connects within the deadline; the socket, or kNoSocket with the error.
net::Socket Connect(const SocketAddress& address, const Deadline& deadline, int& error) {
    const net::Socket socket = net::OpenStreamSocket(address.family);
    if (socket == net::kNoSocket) {
        error = net::LastSocketError();
        return socket;
    }
    error = net::StartConnect(socket, address);
    while (error == net::kConnecting) {
        const int ready = net::WaitSocket(socket, true, deadline.PollMilliseconds());
        if (ready > 0) {
            error = net::ConnectOutcome(socket);
        } else if (ready < 0) {
            error = net::LastSocketError();
        } else if (deadline.Expired()) {
            error = net::kTimedOut;
        }
    }
    if (error == 0) return socket;
    net::CloseSocket(socket);
    return net::kNoSocket;
}

}  // namespace

TcpSocket::TcpSocket(const std::string& host, std::uint16_t port, std::chrono::milliseconds timeout) {
    const Deadline deadline(timeout);
    int error = net::kHostNotFound;
    for (const SocketAddress& address : Resolve(host, port, deadline)) {
        socket_ = Connect(address, deadline, error);
        if (socket_ != net::kNoSocket) return;
        if (deadline.Expired()) break;
    }
    throw SerialDeviceError(error, ConnectFailureText(error, timeout));
}

TcpSocket::~TcpSocket() {
    if (!ended_ && !abandoned_) {
        net::ShutdownSending(socket_);
        const Deadline deadline(kCloseWait);
        try {
            while (!ended_ && WaitReadable(deadline)) Receive();
        } catch (const std::exception&) {
            // A connection that fails now has nothing more to lose.
        }
    }
    net::CloseSocket(socket_);
}

void TcpSocket::Fail(int error_number) {
    abandoned_ = true;
    if (error_number == net::kConnectionReset)
        throw SerialDeviceError(error_number, LibraryText("the server reset the connection"));
    throw SerialDeviceError(error_number, SystemErrorText(error_number));
}

std::size_t TcpSocket::Send(std::string_view bytes, const Deadline& deadline) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const std::ptrdiff_t n = net::SendSome(socket_, bytes.data() + sent, bytes.size() - sent);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        const int error = n < 0 ? net::LastSocketError() : 0;
        if (n < 0 && !net::WouldBlock(error)) Fail(error);
        if (deadline.Expired()) break;
        if (net::WaitSocket(socket_, true, deadline.PollMilliseconds()) < 0) Fail(net::LastSocketError());
    }
    return sent;
}

std::string TcpSocket::Receive() {
    if (pending_error_ != 0) Fail(pending_error_);
    std::string received;
    char chunk[4096];
    while (!ended_ && received.size() < kReceiveLimit) {
        const std::ptrdiff_t n = net::ReceiveSome(socket_, chunk, sizeof chunk);
        if (n > 0) {
            received.append(chunk, static_cast<std::size_t>(n));
            continue;
        }
        if (n == 0) {
            ended_ = true;
            break;
        }
        const int error = net::LastSocketError();
        if (net::WouldBlock(error)) break;
        // What came before the failure is handed on first.
        if (received.empty()) Fail(error);
        pending_error_ = error;
        break;
    }
    return received;
}

bool TcpSocket::WaitReadable(const Deadline& deadline) {
    for (;;) {
        const int ready = net::WaitSocket(socket_, false, deadline.PollMilliseconds());
        if (ready > 0) return true;
        if (ready < 0) Fail(net::LastSocketError());
        if (deadline.Expired()) return false;
    }
}

}  // namespace nkq
