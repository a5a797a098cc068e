// The sockets of POSIX. Sending never raises SIGPIPE: a connection the
// server dropped is an error of the write, not the end of the program.
#include "SocketCalls.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace nkq::net {

namespace {

// The resolver has error codes of its own; those that say the name is not
// known become kHostNotFound.
int ResolverError(int code) {
    switch (code) {
        case 0:
            return 0;
        case EAI_SYSTEM:
            return errno;
        case EAI_AGAIN:
            return EAGAIN;
        case EAI_MEMORY:
            return ENOMEM;
        default:
            return kHostNotFound;
    }
}

}  // namespace

int ResolveAddresses(const std::string& host, std::uint16_t port, bool numeric_only,
                     std::vector<SocketAddress>& addresses) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV | (numeric_only ? AI_NUMERICHOST : 0);
    addrinfo* found = nullptr;
    const int code = getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found);
    if (code != 0) return ResolverError(code);
    for (const addrinfo* entry = found; entry; entry = entry->ai_next)
        addresses.push_back({entry->ai_family,
                             std::string(reinterpret_cast<const char*>(entry->ai_addr), entry->ai_addrlen)});
    freeaddrinfo(found);
    return 0;
}

int LastSocketError() { return errno; }

Socket OpenStreamSocket(int family) {
    const int fd = ::socket(family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_TCP);
    if (fd < 0) return kNoSocket;
    const int on = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    return fd;
}

void CloseSocket(Socket socket) { ::close(static_cast<int>(socket)); }

int StartConnect(Socket socket, const SocketAddress& address) {
    if (::connect(static_cast<int>(socket), reinterpret_cast<const sockaddr*>(address.bytes.data()),
                  static_cast<socklen_t>(address.bytes.size())) == 0)
        return 0;
    return errno == EINPROGRESS || errno == EINTR ? kConnecting : errno;
}

int ConnectOutcome(Socket socket) {
    int error = 0;
    socklen_t size = sizeof error;
    if (getsockopt(static_cast<int>(socket), SOL_SOCKET, SO_ERROR, &error, &size) != 0) return errno;
    return error;
}

int WaitSocket(Socket socket, bool for_writing, int timeout_ms) {
    pollfd entry{static_cast<int>(socket), static_cast<short>(for_writing ? POLLOUT : POLLIN), 0};
    const int n = ::poll(&entry, 1, timeout_ms);
    if (n < 0 && errno == EINTR) return 0;  // the caller's deadline decides
    return n < 0 ? -1 : (n > 0 ? 1 : 0);
}

std::ptrdiff_t SendSome(Socket socket, const char* bytes, std::size_t count) {
    for (;;) {
        const ssize_t n = ::send(static_cast<int>(socket), bytes, count, MSG_NOSIGNAL);
        if (n >= 0 || errno != EINTR) return n;
    }
}

std::ptrdiff_t ReceiveSome(Socket socket, char* bytes, std::size_t count) {
    for (;;) {
        const ssize_t n = ::recv(static_cast<int>(socket), bytes, count, 0);
        if (n >= 0 || errno != EINTR) return n;
    }
}

bool WouldBlock(int error_number) { return error_number == EAGAIN || error_number == EWOULDBLOCK; }

void ShutdownSending(Socket socket) { ::shutdown(static_cast<int>(socket), SHUT_WR); }

bool IsConnectionLost(int error_number) {
    return error_number == ECONNRESET || error_number == ECONNABORTED || error_number == EPIPE ||
           error_number == ENOTCONN || error_number == ETIMEDOUT || error_number == ESHUTDOWN ||
           error_number == ENETRESET || error_number == EHOSTUNREACH || error_number == ENETUNREACH;
}

}  // namespace nkq::net
