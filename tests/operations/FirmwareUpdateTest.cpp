// The firmware update end to end: the workstation side against the virtual
// modem's loader over a real pseudo-terminal, with the protocol's real waits.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "ModemFixture.h"
#include "Timing.h"
#include "app/Failure.h"
#include "app/OperatorMessages.h"
#include "firmware/FirmwareFile.h"
#include "operations/FirmwareUpdate.h"
#include "serial/EComPort.h"

namespace nkq::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Texts = std::vector<std::string>;

using namespace messages;

const std::string kAsk = std::string("ask: ") + kQuestionCaption + ": " + kUpdateQuestion;
const std::string kQuestion = kAsk + " -> yes";

class FirmwareUpdateTest : public ModemFixture {
protected:
    void SetUp() override {
        ModemFixture::SetUp();
        file_names = MemoryFileNameStore("old.mfw");
        op.QueueAnswer(true);
    }

    UpdateResult Update() { return UpdateFirmware(firmware); }

    // The whole exchange of a successful upload of `blocks` blocks of `image`.
    static std::string ExpectedWire(const std::string& image, std::size_t blocks) {
        std::string wire = "UPDATE\rS";
        wire += static_cast<char>(blocks & 0xFF);
        wire += static_cast<char>(blocks >> 8);
        for (std::size_t b = 0; b < blocks; ++b) {
            const std::string block = image.substr(b * 512, 512);
            unsigned sum = 0;
            for (const char c : block) sum += static_cast<unsigned char>(c);
            wire += block + static_cast<char>(sum % 256);
        }
        return wire;
    }

    void ExpectClosedAndHidden() {
        EXPECT_TRUE(PortWasReleased());
        EXPECT_FALSE(op.progress_visible);
        EXPECT_EQ(op.Calls().back(), "progress: hide");
    }
};

// ---- Images of different sizes: count bytes, packets and the unsent tail.

struct SizeCase {
    std::size_t size;
    std::size_t blocks;
};

void PrintTo(const SizeCase& c, std::ostream* out) { *out << c.size << " bytes"; }

class ImageSizeTest : public FirmwareUpdateTest, public ::testing::WithParamInterface<SizeCase> {};

TEST_P(ImageSizeTest, SendsTheCountAndEveryWholeBlockAndNothingAfter) {
    const SizeCase c = GetParam();
    const std::string image = UseImage(ImageBytes(c.size));
    ASSERT_EQ(Update(), UpdateResult::Updated);

    EXPECT_EQ(ReceivedBytes(), ExpectedWire(image, c.blocks));
    EXPECT_EQ(modem->FirmwareImage(), image.substr(0, c.blocks * 512));
    EXPECT_EQ(modem->UploadsCompleted(), 1);
    EXPECT_EQ(modem->PacketsReceived(), static_cast<int>(c.blocks));
    EXPECT_TRUE(op.Messages().empty()) << "no message after a successful update";
    EXPECT_EQ(op.Calls(), (Texts{kQuestion, "progress: show", "progress: completed 0",
                                 "progress: total " + std::to_string(c.blocks), "progress: hide"}));
    EXPECT_EQ(op.progress_completed, static_cast<int>(c.blocks));
    EXPECT_EQ(op.pending_event_passes, static_cast<int>(c.blocks));
    EXPECT_EQ(file_names.LoadFileName(), firmware.FileName);
    ExpectClosedAndHidden();
}

INSTANTIATE_TEST_SUITE_P(Sizes, ImageSizeTest,
                         ::testing::Values(SizeCase{1000, 1}, SizeCase{512, 1}, SizeCase{3 * 512 + 7, 3}),
                         [](const auto& info) { return "Bytes" + std::to_string(info.param.size); });

TEST_F(FirmwareUpdateTest, ABlockWhoseSumPassesByteRangeCarriesTheWrappedChecksum) {
    std::string image(512, '\0');
    image[0] = '\xFF';
    image[100] = '\x02';
    image[511] = '\x7F';  // 255 + 2 + 127 = 384 -> 0x80
    UseImage(image);
    ASSERT_EQ(Update(), UpdateResult::Updated);
    const std::string wire = ReceivedBytes();
    ASSERT_EQ(wire.size(), 7 + 1 + 2 + 513u);
    EXPECT_EQ(static_cast<unsigned char>(wire.back()), 0x80);
    EXPECT_EQ(modem->FirmwareImage(), image);  // the modem checked the sum and kept it
    EXPECT_EQ(modem->NaksSent(), 0);
}

// ---- Acknowledgements.

TEST_F(FirmwareUpdateTest, APacketAskedForTwiceIsSentThreeTimesAndCountedOnce) {
    const std::string image = UseImage(ImageBytes(512));
    Behave([](ModemBehaviour& b) {
        b.nak_block = 1;
        b.nak_times = 2;
    });
    ASSERT_EQ(Update(), UpdateResult::Updated);
    EXPECT_EQ(modem->PacketsReceived(), 3);
    EXPECT_EQ(modem->NaksSent(), 2);
    EXPECT_EQ(op.progress_completed, 1);
    EXPECT_EQ(op.pending_event_passes, 1);
    EXPECT_TRUE(op.Messages().empty());
    const std::string packet = ExpectedWire(image, 1).substr(10);
    EXPECT_EQ(ReceivedBytes().substr(10), packet + packet + packet);
    EXPECT_EQ(modem->FirmwareImage(), image);
}

TEST_F(FirmwareUpdateTest, TheFifthAttemptStillCounts) {
    const std::string image = UseImage(ImageBytes(1024));
    Behave([](ModemBehaviour& b) {
        b.nak_block = 2;
        b.nak_times = 4;
    });
    ASSERT_EQ(Update(), UpdateResult::Updated);
    EXPECT_EQ(modem->PacketsReceived(), 1 + 5);
    EXPECT_EQ(modem->FirmwareImage(), image);
    EXPECT_TRUE(op.Messages().empty());
}

TEST_F(FirmwareUpdateTest, FiveResendRequestsEndTheTransfer) {
    UseImage(ImageBytes(3 * 512));
    Behave([](ModemBehaviour& b) {
        b.nak_block = 2;
        b.nak_times = 1000;  // the workstation gives up after five attempts
    });
    EXPECT_EQ(Update(), UpdateResult::Failed);
    EXPECT_EQ(op.Messages(), (Texts{kTransferFailed, kCheckConnection}));
    EXPECT_EQ(modem->PacketsReceived(), 1 + 5);
    EXPECT_EQ(op.progress_completed, 1);
    ExpectClosedAndHidden();
}

class InvalidAcknowledgementTest : public FirmwareUpdateTest, public ::testing::WithParamInterface<char> {};

TEST_P(InvalidAcknowledgementTest, EndsTheTransferAtOnceWithoutRetries) {
    const char bad = GetParam();
    UseImage(ImageBytes(2 * 512));
    Behave([bad](ModemBehaviour& b) {
        b.bad_ack_block = 1;
        b.bad_ack_byte = bad;
    });
    EXPECT_EQ(Update(), UpdateResult::Failed);
    EXPECT_EQ(op.Messages(), (Texts{kInvalidAcknowledgement, kCheckConnection}));
    EXPECT_EQ(modem->PacketsReceived(), 1);
    EXPECT_EQ(op.progress_completed, 0);
    ExpectClosedAndHidden();
}

INSTANTIATE_TEST_SUITE_P(Bytes, InvalidAcknowledgementTest, ::testing::Values('2', 'A', '\0', '\xFF'),
                         [](const auto& info) {
                             return "Byte" + std::to_string(static_cast<unsigned char>(info.param));
                         });

TEST_F(FirmwareUpdateTest, NoAcknowledgementWithinThreeSecondsIsInvalid) {
    UseImage(ImageBytes(3 * 512));
    std::chrono::steady_clock::time_point silenced;
    op.on_events = [&](int passes) {
        if (passes != 1) return;
        Behave([](ModemBehaviour& b) { b.silent = true; });
        silenced = std::chrono::steady_clock::now();
    };
    EXPECT_EQ(Update(), UpdateResult::Failed);
    EXPECT_TRUE(TookOneWait(std::chrono::steady_clock::now() - silenced, kTimeout - 100ms));
    EXPECT_EQ(op.Messages(), (Texts{kInvalidAcknowledgement, kCheckConnection}));
    EXPECT_EQ(modem->PacketsReceived(), 2);
    EXPECT_EQ(op.progress_completed, 1);
    ExpectClosedAndHidden();
}

// ---- The handshake.

TEST_F(FirmwareUpdateTest, NoAnswerToUpdateMeansNoDevice) {
    UseImage(ImageBytes(512));
    Behave([](ModemBehaviour& b) { b.no_update_reply = true; });
    EXPECT_EQ(Update(), UpdateResult::Failed);
    EXPECT_EQ(op.Messages(), Texts{kDeviceNotFound});
    EXPECT_EQ(ReceivedBytes(), "UPDATE\r");
    ExpectClosedAndHidden();
}

TEST_F(FirmwareUpdateTest, NoAnswerToTheStartByteMeansNoDevice) {
    UseImage(ImageBytes(512));
    Behave([](ModemBehaviour& b) { b.no_start_reply = true; });
    EXPECT_EQ(Update(), UpdateResult::Failed);
    EXPECT_EQ(op.Messages(), Texts{kDeviceNotFound});
    EXPECT_EQ(ReceivedBytes(), "UPDATE\rS");
    ExpectClosedAndHidden();
}

TEST_F(FirmwareUpdateTest, TheStartByteFollowsTheLoaderPause) {
    UseImage(ImageBytes(512));
    // The pause after "UPDATE", short of a second one.
    EXPECT_TRUE(TookOneWait(Timed([&] { ASSERT_EQ(Update(), UpdateResult::Updated); }), 2000ms, 2000ms));
}

TEST_F(FirmwareUpdateTest, AnUnacknowledgedCountIsASynchronisationError) {
    UseImage(ImageBytes(2 * 512));
    Behave([](ModemBehaviour& b) { b.no_count_reply = true; });
    EXPECT_EQ(Update(), UpdateResult::Failed);
    EXPECT_EQ(op.Messages(), (Texts{kSyncFailed, kCheckConnection}));
    EXPECT_EQ(ReceivedBytes(), std::string("UPDATE\rS\x02\x00", 10));
    EXPECT_EQ(op.progress_total, 2);
    ExpectClosedAndHidden();
}

// ---- Before the port opens.

TEST_F(FirmwareUpdateTest, DecliningTheQuestionChangesNothing) {
    op = RecordingOperator();
    op.QueueAnswer(false);
    UseImage(ImageBytes(512));
    EXPECT_EQ(Update(), UpdateResult::Declined);
    EXPECT_EQ(op.Calls(), Texts{kAsk + " -> no"});
    EXPECT_EQ(file_names.LoadFileName(), "old.mfw");
    EXPECT_EQ(file_names.Saves(), 0);
    EXPECT_EQ(ReceivedBytes(), "");
    EXPECT_FALSE(port.Connected());
}

TEST_F(FirmwareUpdateTest, AnUnreadableImageIsReportedBeforeThePortOpens) {
    firmware.FileName = (folder / "missing.mfw").string();
    EXPECT_THROW(Update(), EFOpenError);
    EXPECT_EQ(file_names.LoadFileName(), firmware.FileName) << "the name is stored whatever the outcome";
    EXPECT_TRUE(op.Messages().empty());
    EXPECT_EQ(ReceivedBytes(), "");
    EXPECT_EQ(op.Calls(), (Texts{kQuestion, "progress: show", "progress: completed 0", "progress: hide"}));
    EXPECT_FALSE(port.Connected());
}

struct RefusedImage {
    std::uintmax_t size;
    const char* message;
};

class RefusedImageTest : public FirmwareUpdateTest, public ::testing::WithParamInterface<RefusedImage> {};

// An image without a whole block would take the modem into its loader for
// nothing, and one too large for the count would be cut: neither opens the port.
TEST_P(RefusedImageTest, IsRefusedBeforeThePortOpens) {
    firmware.FileName = (folder / "image.mfw").string();
    std::ofstream(firmware.FileName, std::ios::binary).close();
    fs::resize_file(firmware.FileName, GetParam().size);
    EXPECT_THROW(Update(), EAbort);
    EXPECT_EQ(op.Messages(), Texts{GetParam().message});
    EXPECT_EQ(op.Calls(), (Texts{kQuestion, "progress: show", "progress: completed 0", "progress: hide",
                                 std::string("inform: ") + GetParam().message}));
    EXPECT_EQ(ReceivedBytes(), "");
    EXPECT_FALSE(port.Connected());
}

INSTANTIATE_TEST_SUITE_P(Images, RefusedImageTest,
                         ::testing::Values(RefusedImage{0, kImageTooSmall}, RefusedImage{1, kImageTooSmall},
                                           RefusedImage{511, kImageTooSmall},
                                           RefusedImage{65536u * 512, kImageTooLarge}),
                         [](const auto& info) { return "Bytes" + std::to_string(info.param.size); });

TEST_F(FirmwareUpdateTest, APortThatCannotOpenLeavesTheBarShownAndTheNameStored) {
    UseImage(ImageBytes(512));
    port.SetPort((folder / "no-such-port").string());
    EXPECT_THROW(Update(), EComPort);
    EXPECT_TRUE(op.progress_visible);
    EXPECT_EQ(file_names.LoadFileName(), firmware.FileName);
    EXPECT_TRUE(op.Messages().empty());
}

// ---- A batch: one file read for every modem.

TEST_F(FirmwareUpdateTest, ASharedFileIsReadOnceAndEveryModemGetsThoseBytes) {
    const std::string first = MakeImage(2);
    FirmwareFile file(firmware.FileName);
    firmware.File = &file;
    ASSERT_EQ(Update(), UpdateResult::Updated);
    const std::string got_first = modem->FirmwareImage();

    WriteFile(firmware.FileName, ImageBytes(3 * 512).substr(512));  // two other blocks
    StartModem();
    op.QueueAnswer(true);
    ASSERT_EQ(Update(), UpdateResult::Updated);
    EXPECT_EQ(got_first, first);
    EXPECT_EQ(modem->FirmwareImage(), first) << "the second modem must get the bytes the first got";
}

// ---- Stopping between packets (nkq's Ctrl+C).

TEST_F(FirmwareUpdateTest, AStopRequestEndsAfterThePacketInFlightWithThePortClosed) {
    UseImage(ImageBytes(4 * 512));
    firmware.StopRequested = [this] { return op.pending_event_passes >= 2; };
    EXPECT_THROW(Update(), EOperationStopped);
    EXPECT_TRUE(op.Messages().empty()) << "a stop is not a connection fault";
    EXPECT_EQ(modem->PacketsReceived(), 2);
    EXPECT_EQ(op.progress_completed, 2);
    ExpectClosedAndHidden();
}

TEST_F(FirmwareUpdateTest, AStopInTheLoaderPauseSendsNeitherStartByteNorCount) {
    UseImage(ImageBytes(4 * 512));
    firmware.StopRequested = [] { return true; };
    try {
        Update();
        FAIL() << "the stop must end the update";
    } catch (const EOperationStopped& stopped) {
        EXPECT_NE(stopped.Message().find("before \"S\""), std::string::npos) << stopped.Message();
    }
    EXPECT_EQ(ReceivedBytes(), "UPDATE\r");
    ExpectClosedAndHidden();
}

}  // namespace
}  // namespace nkq::testing
