// The virtual modem reads whatever a client sends: text lines, and after
// "UPDATE" the loader's raw bytes. The bytes go through the modem's own line
// reader and loader in the order its thread feeds them; whatever the stream,
// the held line stays bounded and the loader never stores more than it was
// told to expect.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FirmwareLoader.h"
#include "FuzzCheck.h"
#include "ModemBehaviour.h"
#include "ModemLineReader.h"
#include "protocol/ModemCommands.h"

namespace {

// The first input byte picks the loader's misbehaviour, so the retry and
// refusal paths are reached too.
nkq::ModemBehaviour BehaviourFrom(std::uint8_t selector) {
    nkq::ModemBehaviour behaviour;
    behaviour.nak_block = selector & 0x3;
    behaviour.nak_times = (selector >> 2) & 0x3;
    behaviour.bad_ack_block = (selector >> 4) & 0x3;
    behaviour.no_start_reply = (selector & 0x40) != 0;
    behaviour.no_count_reply = (selector & 0x80) != 0;
    return behaviour;
}

class ModemInput {
public:
    explicit ModemInput(const nkq::ModemBehaviour& behaviour) : behaviour_(behaviour) {}

    void Feed(char byte) {
        if (loader_.Active()) {
            const auto outcome = loader_.Feed(byte, behaviour_);
            if (!outcome.byte_not_taken) {
                CheckLoader(outcome);
                return;
            }
        }
        if (const auto line = reader_.Feed(byte)) HandleLine(*line);
        NKQ_FUZZ_CHECK(reader_.PendingSize() <= nkq::ModemLineReader::kMaxLineLength);
    }

private:
    void HandleLine(const std::string& line) {
        NKQ_FUZZ_CHECK(!line.empty() && line.size() <= nkq::ModemLineReader::kMaxLineLength);
        NKQ_FUZZ_CHECK(line.find_first_of("\r\n") == std::string::npos);
        // The modem opens its loader when it accepts "UPDATE".
        if (line == nkq::modem::kUpdate) loader_.Begin();
    }

    void CheckLoader(nkq::FirmwareLoader::Outcome outcome) {
        if (outcome.answer) {
            const char answer = *outcome.answer;
            NKQ_FUZZ_CHECK(answer == nkq::modem::kAccepted || answer == nkq::modem::kResend ||
                           answer == behaviour_.bad_ack_byte);
        }
        NKQ_FUZZ_CHECK(loader_.BlocksStored() <= loader_.BlocksExpected());
        if (outcome.image_complete) {
            const std::string image = loader_.TakeImage();
            NKQ_FUZZ_CHECK(image.size() ==
                           static_cast<std::size_t>(loader_.BlocksExpected()) * nkq::modem::kBlockSize);
        }
    }

    nkq::ModemBehaviour behaviour_;
    nkq::ModemLineReader reader_;
    nkq::FirmwareLoader loader_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    ModemInput input(BehaviourFrom(data[0]));
    for (std::size_t i = 1; i < size; ++i) input.Feed(static_cast<char>(data[i]));
    return 0;
}
