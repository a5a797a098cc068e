#pragma once
// SHA-256: a record names exactly which firmware image went into a modem
// without keeping the image.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace nkq {

class Sha256 {
public:
    using Digest = std::array<std::uint8_t, 32>;

    Sha256();
    void Update(std::string_view bytes);
    // Ends the hash; the object must not be updated afterwards.
    Digest Finish();

private:
    void Compress(const std::uint8_t* block);

    std::array<std::uint32_t, 8> state_;
    std::array<std::uint8_t, 64> buffer_{};
    std::size_t buffered_ = 0;
    std::uint64_t length_ = 0;  // bytes hashed so far
};

// 64 lower-case hexadecimal digits.
std::string HexDigest(const Sha256::Digest& digest);
std::string Sha256Hex(std::string_view bytes);

}  // namespace nkq
