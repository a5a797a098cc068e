// Winsock. The library is started once, on the first socket, and left
// running until the program ends.
#include <winsock2.h>
#include <ws2tcpip.h>

#include "SocketCalls.h"

namespace nkq::net {

namespace {

void StartWinsock() {
    static const int started = [] {
        WSADATA data{};
        return WSAStartup(MAKEWORD(2, 2), &data);
    }();
    (void)started;  // a failure shows in the first socket call
}

SOCKET Native(Socket socket) { return static_cast<SOCKET>(socket); }

}  // namespace

int ResolveAddresses(const std::string& host, std::uint16_t port, bool numeric_only,
                     std::vector<SocketAddress>& addresses) {
    StartWinsock();
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV | (numeric_only ? AI_NUMERICHOST : 0);
    addrinfo* found = nullptr;
    const int code = getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found);
    if (code != 0) return code == WSANO_DATA ? kHostNotFound : code;
    for (const addrinfo* entry = found; entry; entry = entry->ai_next)
        addresses.push_back({entry->ai_family,
                             std::string(reinterpret_cast<const char*>(entry->ai_addr), entry->ai_addrlen)});
    freeaddrinfo(found);
    return 0;
}

int LastSocketError() { return WSAGetLastError(); }

Socket OpenStreamSocket(int family) {
    StartWinsock();
    const SOCKET socket = ::socket(family, SOCK_STREAM, IPPROTO_TCP);
    if (socket == INVALID_SOCKET) return kNoSocket;
    u_long non_blocking = 1;
    const BOOL on = TRUE;
    if (ioctlsocket(socket, FIONBIO, &non_blocking) != 0) {
        const int error = WSAGetLastError();
        closesocket(socket);
        WSASetLastError(error);
        return kNoSocket;
    }
    setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
    return static_cast<Socket>(socket);
}

void CloseSocket(Socket socket) { closesocket(Native(socket)); }

int StartConnect(Socket socket, const SocketAddress& address) {
    if (::connect(Native(socket), reinterpret_cast<const sockaddr*>(address.bytes.data()),
                  static_cast<int>(address.bytes.size())) == 0)
        return 0;
    const int error = WSAGetLastError();
    return error == WSAEWOULDBLOCK || error == WSAEINPROGRESS ? kConnecting : error;
}

int ConnectOutcome(Socket socket) {
    int error = 0;
    int size = sizeof error;
    if (getsockopt(Native(socket), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size) != 0)
        return WSAGetLastError();
    return error;
}

// select() rather than WSAPoll: one socket, and every Winsock has it. A
// connection that fails shows in the exception set.
int WaitSocket(Socket socket, bool for_writing, int timeout_ms) {
    fd_set ready, failed;
    FD_ZERO(&ready);
    FD_ZERO(&failed);
    FD_SET(Native(socket), &ready);
    FD_SET(Native(socket), &failed);
    timeval limit{timeout_ms / 1000, (timeout_ms % 1000) * 1000};
    const int n =
        ::select(0, for_writing ? nullptr : &ready, for_writing ? &ready : nullptr, &failed, &limit);
    return n == SOCKET_ERROR ? -1 : (n > 0 ? 1 : 0);
}

std::ptrdiff_t SendSome(Socket socket, const char* bytes, std::size_t count) {
    const int n = ::send(Native(socket), bytes, static_cast<int>(count), 0);
    return n == SOCKET_ERROR ? -1 : n;
}

std::ptrdiff_t ReceiveSome(Socket socket, char* bytes, std::size_t count) {
    const int n = ::recv(Native(socket), bytes, static_cast<int>(count), 0);
    return n == SOCKET_ERROR ? -1 : n;
}

bool WouldBlock(int error_number) { return error_number == WSAEWOULDBLOCK; }

void ShutdownSending(Socket socket) { ::shutdown(Native(socket), SD_SEND); }

bool IsConnectionLost(int error_number) {
    return error_number == WSAECONNRESET || error_number == WSAECONNABORTED || error_number == WSAENOTCONN ||
           error_number == WSAETIMEDOUT || error_number == WSAESHUTDOWN || error_number == WSAENETRESET ||
           error_number == WSAEHOSTUNREACH || error_number == WSAENETUNREACH;
}

}  // namespace nkq::net
