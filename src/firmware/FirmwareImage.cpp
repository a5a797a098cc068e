#include "firmware/FirmwareImage.h"

namespace nkq {

std::uint8_t BlockChecksum(std::string_view block) {
    std::uint8_t sum = 0;
    for (const char c : block) sum = static_cast<std::uint8_t>(sum + static_cast<unsigned char>(c));
    return sum;
}

std::string BlockCountBytes(std::size_t count) {
    return {static_cast<char>(count & 0xFF), static_cast<char>((count >> 8) & 0xFF)};
}

}  // namespace nkq
