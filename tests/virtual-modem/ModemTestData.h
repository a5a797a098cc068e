#pragma once
// Parameters and firmware packets shared by the modem's tests.
#include <string>
#include <string_view>

#include "ModemParameters.h"
#include "protocol/ModemCommands.h"

namespace nkq::testing {

// A short parameter set so that replies can be written out literally.
inline ModemParameters SmallSet() {
    return ModemParameters::FromText("MODE 1\nAPN internet\nLOGIN \nCOMFC 0\n");
}

inline constexpr std::string_view kSmallGetReply = "MODE 1\r\nAPN internet\r\nLOGIN \r\nCOMFC 0\r\nOK\r\n";

// 512 bytes that include every byte a line protocol would trip over.
inline std::string Block(int seed) {
    std::string block(modem::kBlockSize, '\0');
    for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>((i * 7 + seed) % 256);
    block[0] = '\r';
    block[1] = '\n';
    block[2] = 'S';
    return block;
}

inline std::string Packet(const std::string& block, int checksum_error = 0) {
    unsigned sum = 0;
    for (const char c : block) sum += static_cast<unsigned char>(c);
    return block + static_cast<char>((sum + checksum_error) % 256);
}

// The block count as the loader takes it, low byte first.
inline std::string Count(int blocks) {
    return {static_cast<char>(blocks & 0xff), static_cast<char>(blocks >> 8)};
}

}  // namespace nkq::testing
