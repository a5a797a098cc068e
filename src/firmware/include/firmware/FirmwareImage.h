#pragma once
// The firmware image as the update sends it: raw bytes cut into 512-byte
// blocks from the start; a tail shorter than a block is never sent.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "protocol/ModemCommands.h"

namespace nkq {

// The block count travels as an unsigned 16-bit number.
inline constexpr std::size_t kMaxFirmwareBlocks = 65535;
// The first size whose block count no longer fits.
inline constexpr std::size_t kFirstOversizedImage = (kMaxFirmwareBlocks + 1) * modem::kBlockSize;

struct FirmwareImage {
    std::string bytes;  // at most kFirstOversizedImage bytes
    bool oversized = false;

    std::size_t BlockCount() const { return bytes.size() / modem::kBlockSize; }
    std::string_view Block(std::size_t index) const {
        return std::string_view(bytes).substr(index * modem::kBlockSize, modem::kBlockSize);
    }
};

// Reads the whole file. Reading stops at kFirstOversizedImage bytes, so a
// huge file (or a device that never ends) costs no more memory than that and
// is only marked oversized. EFOpenError with the path and the system's
// reason when the file cannot be opened or read.
FirmwareImage ReadFirmwareImage(const std::string& path);

// The sum of the bytes modulo 256.
std::uint8_t BlockChecksum(std::string_view block);

// Two bytes, the low byte first.
std::string BlockCountBytes(std::size_t count);

}  // namespace nkq
