#pragma once
// The modem's firmware loader: after "UPDATE" it takes raw bytes (no line
// framing), the start byte, a two-byte block count (low byte first) and then
// that many packets of one block and its checksum, and answers each step
// with one byte.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "ModemBehaviour.h"

namespace nkq {

class FirmwareLoader {
public:
    struct Outcome {
        std::optional<char> answer;    // the byte to send back, if any
        bool count_received = false;   // the two count bytes have just come in
        bool packet_received = false;  // a whole packet has just come in
        bool packet_accepted = false;  // ... and it was stored
        bool nak_sent = false;         // ... and it was asked for again
        bool image_complete = false;   // the last block is in; TakeImage() holds it
        bool byte_not_taken = false;   // the byte was no start byte; the loader has left
    };

    // Opens the loader; it then waits for the start byte.
    void Begin();
    bool Active() const { return stage_ != Stage::Closed; }

    Outcome Feed(char byte, const ModemBehaviour& behaviour);

    std::string TakeImage() { return std::move(image_); }
    // Blocks announced by the count, and blocks stored so far.
    int BlocksExpected() const { return blocks_expected_; }
    int BlocksStored() const { return blocks_stored_; }

    static std::uint8_t Checksum(const std::string& block);

private:
    enum class Stage { Closed, WaitStart, WaitCount, Packets };

    Outcome FeedStart(char byte, const ModemBehaviour& behaviour);
    Outcome FeedCount(char byte, const ModemBehaviour& behaviour);
    Outcome FeedPacket(char byte, const ModemBehaviour& behaviour);
    Outcome AnswerPacket(const ModemBehaviour& behaviour);
    Outcome Finish();

    Stage stage_ = Stage::Closed;
    std::string collected_;
    std::string image_;
    int blocks_expected_ = 0;
    int blocks_stored_ = 0;
    int naks_for_block_ = 0;  // "1" answers given to the block now expected
};

}  // namespace nkq
