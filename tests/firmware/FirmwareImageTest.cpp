// The image as the update cuts it: whole blocks, checksums that wrap, the
// count's byte order, and the size past which the count cannot hold it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "TestFiles.h"
#include "app/Failure.h"
#include "firmware/FirmwareImage.h"

namespace nkq {
namespace {

namespace fs = std::filesystem;

class FirmwareImageTest : public ::testing::Test {
protected:
    std::string Write(const std::string& name, const std::string& bytes) {
        const fs::path path = dir / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }
    // A file of `size` zero bytes that takes no disk space.
    std::string Sparse(const std::string& name, std::uintmax_t size) {
        const fs::path path = dir / name;
        std::ofstream(path, std::ios::binary).close();
        fs::resize_file(path, size);
        return path.string();
    }

    testing::TempFolder dir{"image"};
};

TEST_F(FirmwareImageTest, WholeBlocksAreCountedAndTheTailIsLeftOut) {
    struct Case {
        std::size_t size;
        std::size_t blocks;
    };
    for (const Case c :
         {Case{0, 0}, Case{100, 0}, Case{511, 0}, Case{512, 1}, Case{1000, 1}, Case{1536, 3}}) {
        SCOPED_TRACE(c.size);
        std::string bytes(c.size, '\0');
        for (std::size_t i = 0; i < c.size; ++i) bytes[i] = static_cast<char>(i * 7 + 3);
        const FirmwareImage image = ReadFirmwareImage(Write("image.mfw", bytes));
        EXPECT_EQ(image.bytes, bytes);
        EXPECT_FALSE(image.oversized);
        ASSERT_EQ(image.BlockCount(), c.blocks);
        for (std::size_t b = 0; b < c.blocks; ++b)
            EXPECT_EQ(image.Block(b), std::string_view(bytes).substr(b * 512, 512));
    }
}

TEST_F(FirmwareImageTest, ChecksumIsTheByteSumModulo256) {
    std::string wraps(512, '\0');
    wraps[0] = '\xFF';
    wraps[1] = '\x02';  // 255 + 2 = 257
    EXPECT_EQ(BlockChecksum(wraps), 0x01);
    EXPECT_EQ(BlockChecksum(std::string(512, '\0')), 0x00);
    EXPECT_EQ(BlockChecksum(std::string(512, '\xFF')), 0x00);  // 512 * 255 is a multiple of 256
    std::string three(512, '\0');
    for (int i = 0; i < 512; ++i) three[i] = static_cast<char>(i < 3 ? 0x40 : 0);
    EXPECT_EQ(BlockChecksum(three), 0xC0);
    EXPECT_EQ(BlockChecksum("\x80\x80\x01"), 0x01);
}

TEST_F(FirmwareImageTest, CountGoesLowByteFirst) {
    EXPECT_EQ(BlockCountBytes(0), std::string("\x00\x00", 2));
    EXPECT_EQ(BlockCountBytes(1), std::string("\x01\x00", 2));
    EXPECT_EQ(BlockCountBytes(0x1234), std::string("\x34\x12", 2));
    EXPECT_EQ(BlockCountBytes(65535), std::string("\xFF\xFF", 2));
}

TEST_F(FirmwareImageTest, ImagesFromTheCountsLimitOnAreMarkedOversized) {
    struct Case {
        std::uintmax_t size;
        bool oversized;
    };
    for (const Case c : {Case{65535u * 512, false}, Case{65535u * 512 + 511, false}, Case{65536u * 512, true},
                         Case{65536u * 512 + 1, true}, Case{70000u * 512, true}}) {
        SCOPED_TRACE(c.size);
        const FirmwareImage image = ReadFirmwareImage(Sparse("big.mfw", c.size));
        EXPECT_EQ(image.oversized, c.oversized);
        if (!c.oversized) {
            EXPECT_EQ(image.BlockCount(), 65535u);
        }
        // Reading stops at the limit, whatever the file's size.
        EXPECT_LE(image.bytes.size(), kFirstOversizedImage);
    }
}

TEST_F(FirmwareImageTest, AnUnreadableImageFailsWithThePathAndTheReason) {
    const std::string missing = (dir / "missing.mfw").string();
    struct Case {
        std::string path;
        std::string reason;
    };
    for (const Case& c : {Case{missing, "No such file or directory"}, Case{dir.Path().string(), "Is a directory"}}) {
        try {
            ReadFirmwareImage(c.path);
            ADD_FAILURE() << c.path;
        } catch (const EFOpenError& e) {
            EXPECT_EQ(e.KindName(), "EFOpenError");
            EXPECT_EQ(e.Message(), "Cannot open file \"" + c.path + "\". " + c.reason);
        }
    }
}

TEST_F(FirmwareImageTest, ADeviceThatNeverEndsIsReadOnlyUpToTheLimit) {
    const FirmwareImage image = ReadFirmwareImage("/dev/zero");
    EXPECT_TRUE(image.oversized);
    EXPECT_EQ(image.bytes.size(), kFirstOversizedImage);
}

}  // namespace
}  // namespace nkq
