#pragma once
// The operating system's sockets, as few calls as a TCP client needs, so
// that the connection above is written once: BSD sockets on POSIX, Winsock
// on Windows. Every socket is non-blocking; the waits are the caller's.
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace nkq::net {

using Socket = std::intptr_t;
inline constexpr Socket kNoSocket = -1;

// The error numbers the connection gives meaning to.
#ifdef _WIN32
inline constexpr int kTimedOut = 10060;         // WSAETIMEDOUT
inline constexpr int kConnectionReset = 10054;  // WSAECONNRESET
inline constexpr int kRefused = 10061;          // WSAECONNREFUSED
inline constexpr int kInvalid = 10022;          // WSAEINVAL
inline constexpr int kNoProtocol = 10043;       // WSAEPROTONOSUPPORT
inline constexpr int kHostNotFound = 11001;     // WSAHOST_NOT_FOUND
#else
inline constexpr int kTimedOut = ETIMEDOUT;
inline constexpr int kConnectionReset = ECONNRESET;
inline constexpr int kRefused = ECONNREFUSED;
inline constexpr int kInvalid = EINVAL;
inline constexpr int kNoProtocol = EPROTONOSUPPORT;
inline constexpr int kHostNotFound = ENOENT;  // as for a device that does not exist
#endif

// A resolved address as the system's sockaddr bytes.
struct SocketAddress {
    int family = 0;
    std::string bytes;
};

// Blocking name resolution of a numeric address (`numeric_only`) or any
// host name. Returns 0 or an error number (kHostNotFound for an unknown name).
int ResolveAddresses(const std::string& host, std::uint16_t port, bool numeric_only,
                     std::vector<SocketAddress>& addresses);

int LastSocketError();
// A non-blocking stream socket that sends small writes at once; kNoSocket
// with LastSocketError() on failure.
Socket OpenStreamSocket(int family);
void CloseSocket(Socket socket);
// 0 when connected at once, kConnecting while under way, else an error number.
inline constexpr int kConnecting = -1;
int StartConnect(Socket socket, const SocketAddress& address);
// The outcome of a connection that was under way: 0 or its error number.
int ConnectOutcome(Socket socket);
// Waits up to `timeout_ms` until the socket can be written (`for_writing`)
// or read; 1 when it can, 0 when the time ran out, -1 with LastSocketError().
// A connection that failed or ended counts as ready.
int WaitSocket(Socket socket, bool for_writing, int timeout_ms);
// Non-blocking transfers: the bytes moved (0 at the end of the peer's stream
// for a receive), or -1 with LastSocketError(); WouldBlock() tells a socket
// that has nothing to give or no room now.
std::ptrdiff_t SendSome(Socket socket, const char* bytes, std::size_t count);
std::ptrdiff_t ReceiveSome(Socket socket, char* bytes, std::size_t count);
bool WouldBlock(int error_number);
// Ends our stream after what has been sent.
void ShutdownSending(Socket socket);

// True for the errors of a connection that is gone or does not answer.
bool IsConnectionLost(int error_number);

}  // namespace nkq::net
