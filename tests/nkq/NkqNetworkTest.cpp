// nkq on modems behind a serial device server: a real ser2net, started here
// on 127.0.0.1, in front of the virtual modem's pseudo-terminal, reached as
// rfc2217:// and socket://; and the servers that fail: killed, absent,
// silent, closing at once, refusing the line.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <optional>
#include <regex>
#include <thread>

#include "NkqRun.h"
#include "QuietLine.h"
#include "Ser2Net.h"
#include "TestFiles.h"
#include "Timing.h"
#include "VirtualModem.h"
#include "app/OperatorMessages.h"

namespace nkq::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using namespace std::string_literals;
using Arguments = std::vector<std::string>;

// The client-mode lines a write sends, with the virtual modem's own values
// (so a verify of them passes) or with a new APN (so a write changes it).
std::string ClientSettings(const std::string& apn) {
    return "MODE 1\r\nDESTIP 10.0.0.1\r\nDESTPORT 5000\r\nIDLETIME 5\r\nAPN " + apn +
           "\r\nLOGIN \r\nPASSWORD \r\nCOMRATE 9600\r\nCOMFC 0\r\nCOMBITS 8\r\nCOMPARITY 0\r\n"
           "PARITYSELECT 0\r\nCOMSTOPBIT 0\r\n";
}

// Two blocks of 0xFF (telnet's IAC on the wire), then one of every byte value
// with telnet commands and CR NUL among them, and a tail that is not sent.
std::string TelnetHostileImage() {
    std::string image(2 * 512, '\xFF');
    for (int i = 0; i < 512; ++i) image += static_cast<char>(i % 256);
    image.replace(1024 + 40, 9, "\xFF\xFA\x2C\x01\xFF\xF0\r\0\n"s);
    return image + "tail";
}

enum class Route { Local, Rfc2217, Raw };

// A virtual modem, behind its own ser2net unless reached locally.
class ServedModem {
public:
    explicit ServedModem(Route route, ModemSetup setup = {}) : modem(std::move(setup)) {
        if (route == Route::Local) return;
        const auto protocol = route == Route::Rfc2217 ? Ser2Net::Protocol::Rfc2217 : Ser2Net::Protocol::Raw;
        server.emplace(std::vector<Ser2Net::Line>{{modem.DevicePath(), protocol}}, folder.Path());
    }
    std::string Port() const { return server ? server->Url() : modem.DevicePath(); }
    // Everything the modem received, once the line has been quiet a while.
    std::string Received() const {
        AwaitQuietLine(modem, [] { std::this_thread::sleep_for(200ms); });
        return modem.ReceivedBytes();
    }

    TempFolder folder{"served"};
    VirtualModem modem;
    std::optional<Ser2Net> server;
};

class NkqNetworkTest : public ::testing::Test {
protected:
    ProgramResult Nkq(const Arguments& arguments) {
        return testing::Nkq(arguments, {"NKQ_JOURNAL=" + (dir / "journal.sqlite3").string()});
    }
    // The journal's newest failed row on `port`, as `nkq journal` lists it.
    std::string FailedRow(const std::string& port) {
        const ProgramResult rows = Nkq({"journal", "--failed", "--port", port});
        return rows.out.substr(rows.out.find('\n') + 1);
    }
    // nkq with every "PORT" in `arguments` replaced by `port`.
    static Arguments On(Arguments arguments, const std::string& port) {
        for (auto& argument : arguments)
            if (argument == "PORT") argument = port;
        return arguments;
    }

    TempFolder dir{"nkq-network"};
};

struct Operation {
    const char* name;
    Arguments arguments;
};

class NkqSameBytesTest : public NkqNetworkTest, public ::testing::WithParamInterface<Operation> {};

// The modem cannot tell a network port from a local one: it receives the
// same bytes, and nkq ends the same way.
TEST_P(NkqSameBytesTest, TheModemReceivesWhatALocalPortGivesIt) {
    WriteFile(dir / "changed.txt", ClientSettings("fleet.apn"));
    WriteFile(dir / "defaults.txt", ClientSettings("internet"));
    const std::string image = TelnetHostileImage();
    WriteFile(dir / "image.mfw", image);
    const Arguments arguments = On(GetParam().arguments, "PORT");

    struct Outcome {
        int exit_status;
        std::string received, firmware, err;
    };
    const auto run = [&](Route route, const fs::path& trace) {
        ServedModem served(route);
        Arguments with_port = On(arguments, served.Port());
        for (auto& argument : with_port)
            if (argument.starts_with("DIR/")) argument = (dir / argument.substr(4)).string();
        with_port.insert(with_port.begin(), {"--trace", trace.string()});
        const ProgramResult result = Nkq(with_port);
        return Outcome{result.exit_status, served.Received(), served.modem.FirmwareImage(), result.err};
    };
    auto network = std::async(std::launch::async, run, Route::Rfc2217, dir / "rfc2217.trace");
    auto raw = std::async(std::launch::async, run, Route::Raw, dir / "raw.trace");
    const Outcome local = run(Route::Local, dir / "local.trace");
    ASSERT_EQ(local.exit_status, 0) << local.err;
    ASSERT_TRUE(Contains(local.received, "STOP\r") || Contains(local.received, "UPDATE\r")) << local.received;
    for (auto* future : {&network, &raw}) {
        const Outcome outcome = future->get();
        const char* route = future == &network ? "rfc2217" : "socket";
        EXPECT_EQ(outcome.exit_status, 0) << route << ": " << outcome.err;
        EXPECT_EQ(outcome.received, local.received) << route;
        EXPECT_EQ(outcome.firmware, local.firmware) << route;
    }
    if (GetParam().name == "flash"s) {
        EXPECT_EQ(local.firmware, image.substr(0, 3 * 512));
    }
    // The trace names the port as it was given.
    EXPECT_TRUE(
        std::regex_search(ReadFile(dir / "rfc2217.trace"), std::regex("rfc2217://127\\.0\\.0\\.1:\\d+ -> ")));
}

INSTANTIATE_TEST_SUITE_P(
    Operations, NkqSameBytesTest,
    ::testing::Values(Operation{"read", {"read", "--port", "PORT"}},
                      Operation{"write", {"write", "--port", "PORT", "DIR/changed.txt"}},
                      Operation{"verify", {"verify", "--port", "PORT", "DIR/defaults.txt"}},
                      Operation{"flash", {"flash", "--yes", "--port", "PORT", "DIR/image.mfw"}},
                      Operation{"status", {"status", "--port", "PORT"}}),
    [](const auto& info) { return std::string(info.param.name); });

// A batch's ports run at once, whether local or remote: in less than two
// reads take one after the other, each at least the pause after STOP and
// the first wait for the reply.
TEST_F(NkqNetworkTest, EightRemotePortsTakeAboutTheTimeOfOne) {
    std::vector<std::unique_ptr<VirtualModem>> modems;
    std::vector<Ser2Net::Line> lines;
    for (int i = 0; i < 8; ++i) {
        modems.push_back(std::make_unique<VirtualModem>());
        lines.push_back({modems.back()->DevicePath(), Ser2Net::Protocol::Rfc2217});
    }
    const Ser2Net server(lines, dir.Path());
    Arguments batch{"read", "--output-dir", (dir / "read").string()};
    for (std::size_t i = 0; i < lines.size(); ++i) batch.insert(batch.end(), {"--port", server.Url(i)});
    ProgramResult eight;
    const auto eight_ports = Timed([&] { eight = Nkq(batch); });
    ASSERT_EQ(eight.exit_status, 0) << eight.err;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string file = server.Url(i);
        file = "rfc2217-127.0.0.1-" + file.substr(file.rfind(':') + 1) + ".txt";
        EXPECT_TRUE(Contains(ReadFile(dir / "read" / file), "APN internet\r\n")) << file;
    }
    EXPECT_LT(eight_ports, 2 * (500ms + kTimeout)) << "the ports ran one after the other";
}

// A server that is killed in the middle of an upload: the upload fails
// within one time-out, as with a modem pulled off a local port.
TEST_F(NkqNetworkTest, AServerKilledMidUploadFailsTheUpload) {
    ModemSetup slow;
    slow.behaviour.reply_delay = 20ms;  // about five seconds for the image
    ServedModem served(Route::Rfc2217, slow);
    WriteFile(dir / "image.mfw", std::string(200 * 512, '\xFF'));
    auto flash = std::async(std::launch::async, [&] {
        return Nkq({"flash", "--yes", "--port", served.Port(), (dir / "image.mfw").string()});
    });
    const auto until = Clock::now() + 10s;
    while (served.modem.PacketsReceived() < 10 && Clock::now() < until) std::this_thread::sleep_for(10ms);
    ASSERT_GE(served.modem.PacketsReceived(), 10);
    const auto killed = Clock::now();
    served.server->Kill();
    const ProgramResult result = flash.get();
    EXPECT_LT(MillisecondsSince(killed), 2 * kTimeout.count()) << "short of a second time-out";
    EXPECT_EQ(result.exit_status, 1);
    EXPECT_TRUE(Contains(result.err, messages::kCheckConnection)) << result.err;
    EXPECT_LT(served.modem.PacketsReceived(), 200);
    EXPECT_TRUE(Contains(FailedRow(served.Port()), " flash ")) << FailedRow(served.Port());
}

// A TCP socket bound to a free port of 127.0.0.1, and that port.
std::pair<int, int> BoundSocket() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), size);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    return {fd, ntohs(address.sin_port)};
}

std::string Url(const char* scheme, int port) {
    return std::string(scheme) + "://127.0.0.1:" + std::to_string(port);
}

// A peer that accepts and then does what `script` says with the connection.
class ScriptedServer {
public:
    explicit ScriptedServer(std::function<void(int fd)> script) {
        std::tie(listener_, port_) = BoundSocket();
        ::listen(listener_, 4);
        thread_ = std::thread([this, script] {
            pollfd entry{listener_, POLLIN, 0};
            while (!stop_ && ::poll(&entry, 1, 50) == 0) {
            }
            if (stop_) return;
            const int fd = ::accept(listener_, nullptr, nullptr);
            script(fd);
            ::close(fd);
        });
    }
    ~ScriptedServer() {
        stop_ = true;
        thread_.join();
        ::close(listener_);
    }
    std::string Url(const char* scheme) const {
        return std::string(scheme) + "://127.0.0.1:" + std::to_string(port_);
    }

    // Waits for the client's next bytes (up to 5 s) and returns them.
    static std::string Next(int fd) {
        pollfd entry{fd, POLLIN, 0};
        char bytes[512];
        if (::poll(&entry, 1, 5000) <= 0) return {};
        const ssize_t n = ::recv(fd, bytes, sizeof bytes, 0);
        return n > 0 ? std::string(bytes, static_cast<std::size_t>(n)) : std::string{};
    }
    // Takes the client's bytes until `part` has come (up to 5 s).
    static void AwaitBytes(int fd, const std::string& part) {
        std::string seen;
        for (int i = 0; i < 50 && !Contains(seen, part); ++i) seen += Next(fd);
    }

private:
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// What an RFC 2217 server agrees to, and its answers to the workstation's
// line: 115200 bit/s (or 9600 when `rate` says so), 8N1, no flow control.
const std::string kAgreeComPort = "\xFF\xFD\x2C"s;
std::string LineAnswers(const std::string& rate = "\x00\x01\xC2\x00"s) {
    return "\xFF\xFA\x2C\x65"s + rate +
           "\xFF\xF0\xFF\xFA\x2C\x66\x08\xFF\xF0\xFF\xFA\x2C\x67\x01\xFF\xF0"
           "\xFF\xFA\x2C\x68\x01\xFF\xF0\xFF\xFA\x2C\x69\x01\xFF\xF0"s;
}

struct Fault {
    const char* name;
    // Sets the fault up; returns the port to use. `sockets` are closed at the end.
    std::function<std::string(std::optional<ScriptedServer>&, std::vector<int>& sockets)> start;
    std::string message;                 // in the port's failure
    std::chrono::milliseconds at_least;  // what the time-out rule guarantees
};

class NkqServerFaultTest : public NkqNetworkTest, public ::testing::WithParamInterface<Fault> {};

// Each fails with the port's message, within one time-out, and is journaled.
TEST_P(NkqServerFaultTest, FailsClearlyWithinTheTimeOutAndIsJournaled) {
    std::optional<ScriptedServer> server;
    std::vector<int> sockets;
    const std::string port = GetParam().start(server, sockets);
    ProgramResult result;
    const auto took = Timed([&] { result = Nkq({"read", "--port", port}); });
    for (const int fd : sockets) ::close(fd);
    EXPECT_EQ(result.exit_status, 1);
    EXPECT_TRUE(Contains(result.err, GetParam().message)) << result.err;
    EXPECT_FALSE(Contains(result.err, messages::kReadSucceeded));
    EXPECT_TRUE(TookOneWait(took, GetParam().at_least));
    EXPECT_TRUE(Contains(FailedRow(port), " read ")) << FailedRow(port);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, NkqServerFaultTest,
    ::testing::Values(
        // A port held bound without listening: refused, and no other test can take it.
        Fault{"NothingListening",
              [](auto&, auto& sockets) {
                  const auto [fd, port] = BoundSocket();
                  sockets = {fd};
                  return Url("rfc2217", port);
              },
              "Unable to open com port (win error code: 111): the connection was refused", 0ms},
        Fault{"UnknownHost", [](auto&, auto&) { return "socket://nosuch.invalid:4001"s; },
              "Unable to open com port (win error code: 2): cannot resolve the host name nosuch.invalid",
              0ms},
        // A listener whose queue is full drops the connection request: the
        // address never answers.
        Fault{"AddressThatNeverAnswers",
              [](auto&, auto& sockets) {
                  const auto [listener, port] = BoundSocket();
                  ::listen(listener, 0);
                  const int filler = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
                  const sockaddr_in address{
                      AF_INET, htons(static_cast<std::uint16_t>(port)), {htonl(INADDR_LOOPBACK)}, {}};
                  ::connect(filler, reinterpret_cast<const sockaddr*>(&address), sizeof address);
                  sockets = {listener, filler};
                  return Url("socket", port);
              },
              "Unable to open com port (win error code: 110): no answer within 3000 ms", 3000ms},
        Fault{"SilentServer",
              [](auto& server, auto&) {
                  server.emplace([](int fd) { ScriptedServer::AwaitBytes(fd, "never"); });
                  return server->Url("rfc2217");
              },
              "Unable to open com port (win error code: 110): no answer to COM-PORT-OPTION within 3000 ms",
              3000ms},
        Fault{"NoSerialPortControl",
              [](auto& server, auto&) {
                  server.emplace([](int fd) {
                      ScriptedServer::Next(fd);
                      ::send(fd, "\xFF\xFE\x2C", 3, 0);  // DONT COM-PORT-OPTION
                      ScriptedServer::AwaitBytes(fd, "never");
                  });
                  return server->Url("rfc2217");
              },
              "Unable to open com port (win error code: 93): the server does not control serial ports", 0ms},
        Fault{"RefusedLineSettings",
              [](auto& server, auto&) {
                  server.emplace([](int fd) {
                      ScriptedServer::Next(fd);
                      ::send(fd, kAgreeComPort.data(), kAgreeComPort.size(), 0);
                      ScriptedServer::AwaitBytes(fd, "\x2C\x05\x01\xFF\xF0");
                      const std::string answers = LineAnswers("\x00\x00\x25\x80"s);
                      ::send(fd, answers.data(), answers.size(), 0);
                      ScriptedServer::AwaitBytes(fd, "never");
                  });
                  return server->Url("rfc2217");
              },
              "SetCommState function failed (win error code: 22): the server answered SET-BAUDRATE 9600 to "
              "SET-BAUDRATE 115200",
              0ms},
        // What ser2net does when another client holds the port.
        Fault{"TurnedAway",
              [](auto& server, auto&) {
                  server.emplace([](int fd) {
                      ScriptedServer::Next(fd);
                      const std::string words = kAgreeComPort + "Port already in use\r\n";
                      ::send(fd, words.data(), words.size(), 0);
                  });
                  return server->Url("rfc2217");
              },
              // Closed or reset, as the client's bytes happen to be read or not.
              "the connection, saying \"Port already in use\"", 0ms},
        Fault{"ClosedRightAfterNegotiation",
              [](auto& server, auto&) {
                  server.emplace([](int fd) {
                      ScriptedServer::Next(fd);
                      ::send(fd, kAgreeComPort.data(), kAgreeComPort.size(), 0);
                      ScriptedServer::AwaitBytes(fd, "\x2C\x05\x01\xFF\xF0");
                      const std::string answers = LineAnswers();
                      ::send(fd, answers.data(), answers.size(), 0);
                  });
                  return server->Url("rfc2217");
              },
              messages::kCheckConnection, 0ms}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace nkq::testing
