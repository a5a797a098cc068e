#include "FirmwareLoader.h"

#include <gtest/gtest.h>

namespace nkq {
namespace {

std::string Feed(FirmwareLoader& loader, const std::string& bytes, const ModemBehaviour& behaviour = {}) {
    std::string answers;
    for (const char byte : bytes) {
        const auto outcome = loader.Feed(byte, behaviour);
        if (outcome.answer) answers += *outcome.answer;
    }
    return answers;
}

std::string Packet(char fill) {
    const std::string block(512, fill);
    return block + static_cast<char>(FirmwareLoader::Checksum(block));
}

TEST(FirmwareLoaderTest, ChecksumIsTheByteSumModulo256) {
    EXPECT_EQ(FirmwareLoader::Checksum(std::string(512, '\0')), 0);
    EXPECT_EQ(FirmwareLoader::Checksum(std::string(512, '\x01')), 0);  // 512 mod 256
    EXPECT_EQ(FirmwareLoader::Checksum(std::string("\xff\x02", 2)), 1);
}

TEST(FirmwareLoaderTest, CountIsReadLowByteFirst) {
    FirmwareLoader loader;
    loader.Begin();
    EXPECT_EQ(Feed(loader, std::string("S\x02\x01", 3)), "00");
    EXPECT_EQ(loader.BlocksExpected(), 0x0102);
    EXPECT_TRUE(loader.Active());
}

TEST(FirmwareLoaderTest, LineEndsBeforeTheStartByteAreSkipped) {
    FirmwareLoader loader;
    loader.Begin();
    EXPECT_EQ(Feed(loader, "\r\n\nS"), "0");
}

TEST(FirmwareLoaderTest, OtherByteInsteadOfStartClosesTheLoaderAndIsHandedBack) {
    FirmwareLoader loader;
    loader.Begin();
    const auto outcome = loader.Feed('G', {});
    EXPECT_TRUE(outcome.byte_not_taken);
    EXPECT_FALSE(outcome.answer);
    EXPECT_FALSE(loader.Active());
}

TEST(FirmwareLoaderTest, PacketIsAnsweredOnlyWhenWhole) {
    FirmwareLoader loader;
    loader.Begin();
    Feed(loader, std::string("S\x01\x00", 3));
    const std::string packet = Packet('A');
    EXPECT_EQ(Feed(loader, packet.substr(0, 512)), "");
    EXPECT_EQ(Feed(loader, packet.substr(512)), "0");
    EXPECT_EQ(loader.TakeImage(), std::string(512, 'A'));
    EXPECT_FALSE(loader.Active());
}

TEST(FirmwareLoaderTest, ForcedRefusalsCountPerBlockAndGoodChecksumThenPasses) {
    ModemBehaviour behaviour;
    behaviour.nak_block = 1;
    behaviour.nak_times = 3;
    FirmwareLoader loader;
    loader.Begin();
    Feed(loader, std::string("S\x02\x00", 3), behaviour);
    EXPECT_EQ(Feed(loader, Packet('x') + Packet('x') + Packet('x') + Packet('x'), behaviour), "1110");
    EXPECT_EQ(Feed(loader, Packet('y'), behaviour), "0") << "the next block is not refused";
    EXPECT_EQ(loader.BlocksStored(), 2);
}

}  // namespace
}  // namespace nkq
