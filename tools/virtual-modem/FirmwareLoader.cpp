#include "FirmwareLoader.h"

#include "protocol/ModemCommands.h"

namespace nkq {

namespace {

FirmwareLoader::Outcome NotTaken() {
    FirmwareLoader::Outcome outcome;
    outcome.byte_not_taken = true;
    return outcome;
}

}  // namespace

void FirmwareLoader::Begin() {
    stage_ = Stage::WaitStart;
    collected_.clear();
    image_.clear();
    blocks_expected_ = 0;
    blocks_stored_ = 0;
    naks_for_block_ = 0;
}

std::uint8_t FirmwareLoader::Checksum(const std::string& block) {
    std::uint8_t sum = 0;
    for (const char c : block) sum = static_cast<std::uint8_t>(sum + static_cast<unsigned char>(c));
    return sum;
}

FirmwareLoader::Outcome FirmwareLoader::Feed(char byte, const ModemBehaviour& behaviour) {
    switch (stage_) {
        case Stage::WaitStart:
            return FeedStart(byte, behaviour);
        case Stage::WaitCount:
            return FeedCount(byte, behaviour);
        case Stage::Packets:
            return FeedPacket(byte, behaviour);
        case Stage::Closed:
            break;
    }
    return NotTaken();
}

FirmwareLoader::Outcome FirmwareLoader::FeedStart(char byte, const ModemBehaviour& behaviour) {
    // A client may end "UPDATE" with CR LF; the line end is no start byte.
    if (byte == modem::kCR || byte == modem::kLF) return {};
    if (byte != modem::kStartUpload) {
        stage_ = Stage::Closed;
        return NotTaken();
    }
    if (behaviour.no_start_reply) {
        stage_ = Stage::Closed;
        return {};
    }
    stage_ = Stage::WaitCount;
    return Outcome{.answer = modem::kAccepted};
}

FirmwareLoader::Outcome FirmwareLoader::FeedCount(char byte, const ModemBehaviour& behaviour) {
    collected_ += byte;
    if (collected_.size() < 2) return {};
    blocks_expected_ =
        static_cast<unsigned char>(collected_[0]) | (static_cast<unsigned char>(collected_[1]) << 8);
    collected_.clear();
    if (behaviour.no_count_reply) {
        stage_ = Stage::Closed;
        return {};
    }
    if (blocks_expected_ == 0) {
        auto outcome = Finish();
        outcome.answer = modem::kAccepted;
        outcome.count_received = true;
        return outcome;
    }
    stage_ = Stage::Packets;
    return Outcome{.answer = modem::kAccepted, .count_received = true};
}

FirmwareLoader::Outcome FirmwareLoader::FeedPacket(char byte, const ModemBehaviour& behaviour) {
    collected_ += byte;
    if (collected_.size() < modem::kPacketSize) return {};
    auto outcome = AnswerPacket(behaviour);
    collected_.clear();
    return outcome;
}

FirmwareLoader::Outcome FirmwareLoader::AnswerPacket(const ModemBehaviour& behaviour) {
    const int block_number = blocks_stored_ + 1;
    Outcome outcome;
    outcome.packet_received = true;
    if (behaviour.bad_ack_block == block_number) {
        outcome.answer = behaviour.bad_ack_byte;
        return outcome;
    }
    const std::string block = collected_.substr(0, modem::kBlockSize);
    const bool checksum_ok = Checksum(block) == static_cast<unsigned char>(collected_.back());
    const bool forced_nak = behaviour.nak_block == block_number && naks_for_block_ < behaviour.nak_times;
    if (!checksum_ok || forced_nak) {
        ++naks_for_block_;
        outcome.answer = modem::kResend;
        outcome.nak_sent = true;
        return outcome;
    }
    image_ += block;
    ++blocks_stored_;
    naks_for_block_ = 0;
    outcome.answer = modem::kAccepted;
    outcome.packet_accepted = true;
    if (blocks_stored_ == blocks_expected_) {
        const auto finished = Finish();
        outcome.image_complete = finished.image_complete;
    }
    return outcome;
}

FirmwareLoader::Outcome FirmwareLoader::Finish() {
    stage_ = Stage::Closed;
    Outcome outcome;
    outcome.image_complete = true;
    return outcome;
}

}  // namespace nkq
