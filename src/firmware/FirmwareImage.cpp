#include "firmware/FirmwareImage.h"

#include "app/FileBytes.h"

namespace nkq {

FirmwareImage ReadFirmwareImage(const std::string& path) {
    FirmwareImage image;
    image.bytes = ReadWholeFile(path, kFirstOversizedImage);
    image.oversized = image.bytes.size() >= kFirstOversizedImage;
    return image;
}

std::uint8_t BlockChecksum(std::string_view block) {
    std::uint8_t sum = 0;
    for (const char c : block) sum = static_cast<std::uint8_t>(sum + static_cast<unsigned char>(c));
    return sum;
}

std::string BlockCountBytes(std::size_t count) {
    return {static_cast<char>(count & 0xFF), static_cast<char>((count >> 8) & 0xFF)};
}

}  // namespace nkq
