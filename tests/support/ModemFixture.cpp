#include "ModemFixture.h"

#include <chrono>
#include <cstdint>
#include <thread>

#include "protocol/ModemCommands.h"

namespace nkq::testing {

namespace {

void Pause() { std::this_thread::sleep_for(std::chrono::milliseconds(50)); }

}  // namespace

std::string ImageBytes(std::size_t size) {
    std::string bytes(size, '\0');
    std::uint32_t state = 12345;
    for (auto& byte : bytes) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<char>(state >> 16);
    }
    return bytes;
}

void ModemFixture::SetUp() {
    set.ApplyStartupRules();
    StartModem();
}

void ModemFixture::StartModem(ModemSetup setup) {
    modem.reset();
    modem = std::make_unique<VirtualModem>(std::move(setup));
    port.SetPort(modem->DevicePath());
}

std::vector<std::string> ModemFixture::Received() const {
    AwaitQuietLine(*modem, Pause);
    return modem->CommandLines();
}

std::string ModemFixture::ReceivedBytes() const {
    AwaitQuietLine(*modem, Pause);
    return modem->ReceivedBytes();
}

bool ModemFixture::PortWasReleased() { return !port.Connected() && DeviceIsFree(modem->DevicePath()); }

std::string ModemFixture::UseImage(const std::string& bytes) {
    firmware.FileName = (folder / "image.mfw").string();
    WriteFile(firmware.FileName, bytes);
    return bytes;
}

std::string ModemFixture::MakeImage(int blocks) {
    return UseImage(ImageBytes(static_cast<std::size_t>(blocks) * modem::kBlockSize));
}

}  // namespace nkq::testing
