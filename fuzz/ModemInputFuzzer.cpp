// The virtual modem reads whatever a client sends: text lines, and after
// "UPDATE" the loader's raw bytes. The bytes go through the modem's protocol
// as its thread feeds them; whatever the stream, every call takes input,
// the held line stays bounded, the answers are the modem's own, and the
// loader never stores more than it was told to expect.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "ModemBehaviour.h"
#include "ModemProtocol.h"
#include "protocol/ModemCommands.h"

namespace {

using namespace std::chrono_literals;

// The first two input bytes pick the misbehaviour, so that the retry,
// refusal, repeat and hang-up paths are reached too.
nkq::ModemBehaviour BehaviourFrom(std::uint8_t loader, std::uint8_t line) {
    nkq::ModemBehaviour behaviour;
    behaviour.nak_block = loader & 0x3;
    behaviour.nak_times = (loader >> 2) & 0x3;
    behaviour.bad_ack_block = (loader >> 4) & 0x3;
    behaviour.no_start_reply = (loader & 0x40) != 0;
    behaviour.no_count_reply = (loader & 0x80) != 0;
    behaviour.rs485 = (line & 0x01) != 0;
    behaviour.refuse_cmd = (line & 0x02) != 0;
    behaviour.bad_save = (line & 0x04) != 0;
    behaviour.reject_key = (line & 0x08) != 0 ? "APN" : "";
    behaviour.repeat_ready = behaviour.repeat_save = behaviour.repeat_count_ack = (line & 0x10) != 0;
    behaviour.repeat_line_ack = behaviour.repeat_block_ack = (line & 0x20) != 0 ? 2 : 0;
    behaviour.silent = (line & 0x40) != 0;
    if ((line & 0x80) != 0) {
        behaviour.burst_gap = 1ms;
        behaviour.hang_up_after_lines = 3;
        behaviour.hang_up_after_packets = 2;
    }
    return behaviour;
}

bool IsLoaderAnswer(const std::string& bytes, const nkq::ModemBehaviour& behaviour) {
    if (bytes.empty() || bytes.size() > 2) return false;
    const auto valid = [&](char c) {
        return c == nkq::modem::kAccepted || c == nkq::modem::kResend || c == behaviour.bad_ack_byte;
    };
    return std::all_of(bytes.begin(), bytes.end(), valid);
}

class ModemInput {
public:
    explicit ModemInput(const nkq::ModemBehaviour& behaviour)
        : protocol_(nkq::ModemParameters::Defaults(), behaviour) {}

    // False once the modem has hung up: it takes nothing more.
    bool Feed(std::string_view& bytes) {
        const bool loader_was_active = protocol_.LoaderActive();
        const int uploads = protocol_.UploadsCompleted();
        const auto reaction = protocol_.Feed(bytes);
        NKQ_FUZZ_CHECK(reaction.consumed >= 1 && reaction.consumed <= bytes.size());
        bytes.remove_prefix(reaction.consumed);
        NKQ_FUZZ_CHECK(protocol_.PendingLineSize() <= nkq::ModemLineReader::kMaxLineLength);
        if (reaction.line_taken) CheckLine(protocol_.CommandLines().back());
        CheckLoader(uploads);
        bool hung_up = false;
        for (const auto& step : reaction.steps) {
            NKQ_FUZZ_CHECK(step.wait >= 0ms);
            hung_up = hung_up || step.kind == nkq::ModemStep::Kind::HangUp;
            if (step.kind != nkq::ModemStep::Kind::Send) continue;
            const auto& behaviour = protocol_.Behaviour();
            NKQ_FUZZ_CHECK(behaviour.silent == step.bytes.empty());
            const bool loader_answer = loader_was_active && !reaction.line_taken && !behaviour.silent;
            if (loader_answer) NKQ_FUZZ_CHECK(IsLoaderAnswer(step.bytes, behaviour));
        }
        return !hung_up;
    }

private:
    static void CheckLine(const std::string& line) {
        NKQ_FUZZ_CHECK(!line.empty() && line.size() <= nkq::ModemLineReader::kMaxLineLength);
        NKQ_FUZZ_CHECK(line.find_first_of("\r\n") == std::string::npos);
    }

    void CheckLoader(int uploads_before) const {
        const auto& loader = protocol_.Loader();
        NKQ_FUZZ_CHECK(loader.BlocksStored() <= loader.BlocksExpected());
        if (protocol_.UploadsCompleted() == uploads_before) return;
        NKQ_FUZZ_CHECK(protocol_.FirmwareImage().size() ==
                       static_cast<std::size_t>(loader.BlocksExpected()) * nkq::modem::kBlockSize);
    }

    nkq::ModemProtocol protocol_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    ModemInput input(BehaviourFrom(data[0], data[1]));
    std::string_view bytes(reinterpret_cast<const char*>(data) + 2, size - 2);
    while (!bytes.empty() && input.Feed(bytes)) {
    }
    return 0;
}
