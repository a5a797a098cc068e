#include <gtest/gtest.h>

#include <string>

#include "app/Sha256.h"

namespace nkq {
namespace {

struct Vector {
    const char* name;
    std::string message;
    std::size_t repeat;  // the message is hashed this many times in a row
    const char* digest;
};

void PrintTo(const Vector& c, std::ostream* out) { *out << c.name; }

class Sha256Vectors : public ::testing::TestWithParam<Vector> {};

// The standard test vectors, fed in pieces that cross block boundaries.
TEST_P(Sha256Vectors, GiveTheStandardDigest) {
    Sha256 hash;
    for (std::size_t i = 0; i < GetParam().repeat; ++i) hash.Update(GetParam().message);
    EXPECT_EQ(HexDigest(hash.Finish()), GetParam().digest);
    if (GetParam().repeat == 1) {
        EXPECT_EQ(Sha256Hex(GetParam().message), GetParam().digest);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Standard, Sha256Vectors,
    ::testing::Values(
        Vector{"Empty", "", 1, "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        Vector{"Abc", "abc", 1, "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        Vector{"TwoBlocks448Bits", "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq", 1,
               "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        Vector{
            "TwoBlocks896Bits",
            "abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrs"
            "mnopqrstnopqrstu",
            1, "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
        Vector{"MillionA", std::string(1000, 'a'), 1000,
               "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"}),
    [](const ::testing::TestParamInfo<Vector>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace nkq
