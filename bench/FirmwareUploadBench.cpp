// Firmware upload of a 1 MiB image against the virtual modem, through the
// workstation's own update operation and serial port.
//
//   bench_firmware_upload paced    the modem keeps the pace of a 115200 bit/s
//                                  line both ways; prints the upload's speed
//                                  as a share of the line's (1.0 = the wire)
//   bench_firmware_upload unpaced  the modem answers at once; prints the
//                                  host's time per packet round trip in us
//   bench_firmware_upload network  a 256 KiB image to a paced modem, over its
//                                  pseudo-terminal and then over rfc2217://
//                                  through a real ser2net on the loopback;
//                                  prints the local time over the network's
//
// The loader's 2000 ms pause is not counted in any figure.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "BenchOperator.h"
#include "Ser2Net.h"
#include "VirtualModem.h"
#include "firmware/MemoryFileNameStore.h"
#include "operations/FirmwareUpdate.h"
#include "protocol/ModemCommands.h"
#include "serial/ComPort.h"
#include "serial/InStep.h"

namespace nkq::bench {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kImageSize = 1024 * 1024;
constexpr std::size_t kNetworkImageSize = 256 * 1024;
constexpr std::size_t kBlocks = kImageSize / modem::kBlockSize;
constexpr double kBitsPerByte = 10.0;  // start bit, 8 data bits, stop bit
constexpr double kLineRate = 115200.0;
// "UPDATE" CR, "0", "S", "0", two count bytes, "0".
constexpr std::size_t kHandshakeBytes = 7 + 1 + 1 + 1 + 2 + 1;

std::string WriteImage(std::size_t size = kImageSize) {
    const auto path =
        std::filesystem::temp_directory_path() / ("nkq-bench-" + std::to_string(getpid()) + ".mfw");
    std::string image(size, '\0');
    for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<char>((i * 131 + i / 512) & 0xFF);
    std::ofstream(path, std::ios::binary).write(image.data(), static_cast<std::streamsize>(image.size()));
    return path.string();
}

double WireSeconds() {
    const double bytes = static_cast<double>(kBlocks * (modem::kPacketSize + 1) + kHandshakeBytes);
    return bytes * kBitsPerByte / kLineRate;
}

// Where a packet's time goes, from the modem's trace: from the packet's
// first bytes arriving to its acknowledgement going out (the modem, paced
// to the line), and from the acknowledgement to the next packet's first
// bytes (the workstation's turn, plus the pseudo-terminal both ways).
void PrintBreakdown(const std::vector<TraceEntry>& trace) {
    double modem_us = 0, host_us = 0;
    int modem_count = 0, host_count = 0;
    std::chrono::microseconds packet_start{-1}, ack_sent{-1};
    std::size_t received = 0;
    for (const auto& entry : trace) {
        if (entry.direction == TraceDirection::ToModem) {
            if (received == 0) packet_start = entry.time;
            if (received == 0 && ack_sent.count() >= 0) {
                host_us += static_cast<double>((entry.time - ack_sent).count());
                ++host_count;
            }
            received += entry.bytes.size();
        } else {
            // Only a packet's acknowledgement starts the workstation's turn;
            // the handshake's answers (the loader pause follows one) do not.
            const bool packet_ack = received == modem::kPacketSize;
            if (packet_ack) {
                modem_us += static_cast<double>((entry.time - packet_start).count());
                ++modem_count;
            }
            ack_sent = packet_ack ? entry.time : std::chrono::microseconds{-1};
            received = 0;
        }
    }
    if (modem_count == 0 || host_count == 0) return;
    std::fprintf(stderr,
                 "  per packet: modem %.1f us (packet and acknowledgement on the line: %.1f us), "
                 "acknowledgement to next packet %.1f us\n",
                 modem_us / modem_count, (modem::kPacketSize + 1) * kBitsPerByte * 1e6 / kLineRate,
                 host_us / host_count);
}

// Seconds the upload took, the loader pause taken off; negative on failure.
// Over the network the modem is served by ser2net with RFC 2217.
double Upload(bool paced, const std::string& image_path, bool over_network = false) {
    ModemSetup setup;
    setup.behaviour.real_speed = paced;
    VirtualModem modem(std::move(setup));
    const auto folder =
        std::filesystem::temp_directory_path() / ("nkq-bench-ser2net-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    std::optional<testing::Ser2Net> server;
    if (over_network)
        server.emplace(
            std::vector<testing::Ser2Net::Line>{{modem.DevicePath(), testing::Ser2Net::Protocol::Rfc2217}},
            folder);
    TComPort port(TComPortSetup::System);
    port.SetPort(server ? server->Url() : modem.DevicePath());
    BenchOperator op;
    MemoryFileNameStore names;
    FirmwareSession session{port, op, names, image_path, {}};
    const auto start = Clock::now();
    const UpdateResult result = UpdateFirmware(session);
    const std::chrono::duration<double> took = Clock::now() - start;
    if (result != UpdateResult::Updated || modem.UploadsCompleted() != 1) {
        for (const auto& text : op.messages) std::fprintf(stderr, "upload failed: %s\n", text.c_str());
        return -1;
    }
    PrintBreakdown(modem.Trace());
    server.reset();
    std::filesystem::remove_all(folder);
    return took.count() - std::chrono::duration<double>(modem::kLoaderPause).count();
}

}  // namespace
}  // namespace nkq::bench

int main(int argc, char** argv) {
    using namespace nkq::bench;
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode != "paced" && mode != "unpaced" && mode != "network") {
        std::fprintf(stderr, "usage: %s paced|unpaced|network\n", argv[0]);
        return 2;
    }
    if (mode == "network") {
        // Side by side in one run, against the same kind of paced modem.
        const std::string image = WriteImage(kNetworkImageSize);
        const double local = Upload(true, image);
        const double network = Upload(true, image, true);
        std::filesystem::remove(image);
        if (local <= 0 || network <= 0) return 1;
        std::printf("firmware_upload_256k_rfc2217_speed_over_local %.4f (local %.2f s, rfc2217 %.2f s)\n",
                    local / network, local, network);
        return 0;
    }
    const std::string image = WriteImage();
    const double seconds = Upload(mode == "paced", image);
    std::filesystem::remove(image);
    if (seconds <= 0) return 1;
    if (mode == "paced") {
        std::printf("firmware_upload_paced_share_of_wire_speed %.4f (wire %.2f s, took %.2f s)\n",
                    WireSeconds() / seconds, WireSeconds(), seconds);
        // The quiet time the update waits after the last acknowledgement, as
        // a share of a 256 KiB upload at the pace measured here.
        const double settle = std::chrono::duration<double>(nkq::kSettleTime).count();
        std::printf("firmware_upload_settle_share_of_256k_upload %.4f (%.0f ms of %.2f s)\n",
                    settle / (seconds / 4), settle * 1000, seconds / 4);
    } else {
        std::printf("firmware_upload_unpaced_us_per_packet_round_trip %.1f (%zu packets in %.3f s)\n",
                    seconds * 1e6 / static_cast<double>(kBlocks), kBlocks, seconds);
    }
    return 0;
}
