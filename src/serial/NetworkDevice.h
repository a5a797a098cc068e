#pragma once
// A port on a serial device server: the serial device seam over one TCP
// connection. "rfc2217://" speaks telnet with COM-PORT-OPTION: the server
// agrees to control its port, takes the line settings and purges its
// buffers where the port purges, and 0xFF travels doubled both ways.
// "socket://" passes the bytes as they are and sets nothing. Every wait is
// bounded: by the port's read and write time-outs, or for the server's
// answers by kAnswerTime.
#include <chrono>
#include <string>
#include <vector>

#include "ComPortOption.h"
#include "NetworkPortName.h"
#include "SerialDevice.h"
#include "TcpSocket.h"
#include "TelnetCodec.h"

namespace nkq {

class NetworkDevice final : public SerialDevice {
public:
    static constexpr std::chrono::milliseconds kAnswerTime{3000};

    // Time for the server to pass the last bytes written on to its line:
    // a server flushes its device when the connection ends (ser2net does),
    // so closing at once could drop the final "START".
    static constexpr std::chrono::milliseconds kServerAllowance{100};

    // Connects, and for RFC 2217 has the server agree to COM-PORT-OPTION.
    explicit NetworkDevice(const NetworkPortName& name);
    // Waits until the last bytes written can have reached the modem (their
    // line time plus kServerAllowance), then ends the connection.
    ~NetworkDevice() override;
    NetworkDevice(const NetworkDevice&) = delete;
    NetworkDevice& operator=(const NetworkDevice&) = delete;

    void SetQueueSizes(int, int) override {}
    // RFC 2217: sends the settings and waits for the server's answers; a
    // setting answered with another value is refused.
    void ApplyLine(const SerialLine& line) override;
    void ApplyTimeouts(const SerialTimeouts& timeouts) override { timeouts_ = timeouts; }
    // The last modem state the server notified, or -1.
    int ModemStatus() const override { return notified_.modem; }
    int BytesWaiting() override;
    bool WaitForInput(std::chrono::milliseconds timeout) override;
    // The server's queue cannot be seen from here.
    int OutputQueued() const override { return 0; }
    void Flush(bool input, bool output) override;
    std::size_t Read(unsigned char* buffer, std::size_t count) override;
    // Bytes are on their way once the connection has taken them; whether
    // input came meanwhile cannot be told.
    SerialWrite Write(const unsigned char* buffer, std::size_t count) override;

private:
    bool Telnet() const { return name_.protocol == NetworkProtocol::Rfc2217; }
    // Takes what has arrived: data kept (dropped while a purge is under
    // way), the peer's negotiation answered, the server's answers noted.
    void Pull();
    void Take(const telnet::Piece& piece);
    void TakeServerCommand(const rfc2217::ComCommand& command);
    void SendControl(const std::string& bytes);
    // Waits until `done` holds, at most kAnswerTime; `what` names the
    // awaited answer in the failure.
    template <class Done>
    void AwaitServer(Done done, const std::string& what);
    [[noreturn]] static void FailEnded();

    NetworkPortName name_;
    TcpSocket socket_;
    telnet::Decoder decoder_;
    telnet::Options options_;
    std::string input_;                         // received data not yet read
    bool purging_ = false;                      // until the server answers PURGE-DATA
    std::vector<rfc2217::ComCommand> answers_;  // to the last line settings
    struct {
        int modem = -1;
        int line = -1;
    } notified_;  // the states the server last notified
    SerialTimeouts timeouts_;
    std::chrono::nanoseconds char_time_{86'806};            // one character on the line; 115200 8N1 until set
    std::chrono::steady_clock::time_point delivered_by_{};  // of the last bytes written
};

}  // namespace nkq
