#include "ModemProtocol.h"

#include <algorithm>
#include <utility>

#include "protocol/ModemCommands.h"
#include "protocol/ParameterKeys.h"

namespace nkq {

namespace {

using namespace std::chrono_literals;

bool IsCommandWord(const std::string& line) {
    return line == modem::kStop || line == modem::kStart || line == modem::kGet || line == modem::kTcp ||
           line == modem::kCmd || line == modem::kUpdate;
}

std::string ReplyLine(std::string_view key, std::string_view value) {
    std::string line(key);
    line += modem::kFieldSeparator;
    line += value;
    line += modem::kReplyLineEnd;
    return line;
}

std::string WithEndLine(std::string lines) {
    lines += modem::kReplyEndLine;
    lines += modem::kReplyLineEnd;
    return lines;
}

void Silence(ModemReaction& reaction) {
    // The steps keep their waits: a silent modem takes as long to say nothing.
    for (auto& step : reaction.steps) {
        if (step.kind != ModemStep::Kind::HangUp) step.bytes.clear();
    }
}

}  // namespace

ModemProtocol::ModemProtocol(ModemParameters parameters, ModemBehaviour behaviour)
    : behaviour_(std::move(behaviour)), parameters_(std::move(parameters)) {}

ModemReaction ModemProtocol::Feed(std::string_view bytes) {
    ModemReaction reaction;
    while (reaction.consumed < bytes.size() && reaction.Empty()) {
        FeedByte(bytes[reaction.consumed++], reaction);
    }
    if (behaviour_.silent) Silence(reaction);
    return reaction;
}

void ModemProtocol::ClientGone() {
    line_reader_.Clear();
    if (loader_.Active()) loader_ = FirmwareLoader{};
}

void ModemProtocol::FeedByte(char byte, ModemReaction& out) {
    if (loader_.Active()) {
        FeedLoader(byte, out);
    } else {
        FeedLine(byte, out);
    }
}

void ModemProtocol::FeedLine(char byte, ModemReaction& out) {
    if (auto line = line_reader_.Feed(byte)) TakeLine(*line, out);
}

void ModemProtocol::TakeLine(const std::string& line, ModemReaction& out) {
    lines_.push_back(line);
    out.line_taken = true;
    if (write_mode_) {
        AnswerWriteModeLine(line, out);
    } else {
        AnswerCommand(line, out);
    }
}

void ModemProtocol::AnswerCommand(const std::string& line, ModemReaction& out) {
    if (line == modem::kStop) {
        traffic_stopped_ = true;
    } else if (line == modem::kStart) {
        traffic_stopped_ = false;
    } else if (line == modem::kGet) {
        AnswerGet(out);
    } else if (line == modem::kTcp) {
        AnswerTcp(out);
    } else if (line == modem::kCmd) {
        AnswerCmd(out);
    } else if (line == modem::kUpdate) {
        AnswerUpdate(out);
    } else {
        Reply(std::string(modem::kErrorReply), out);
    }
}

void ModemProtocol::AnswerWriteModeLine(const std::string& line, ModemReaction& out) {
    if (line == modem::kSave) {
        AnswerSave(out);
    } else if (!IsCommandWord(line)) {
        AnswerParameterLine(line, out);
    } else {
        // Any command ends the write session; lines not saved are forgotten.
        pending_.Clear();
        write_mode_ = false;
        AnswerCommand(line, out);
    }
}

std::string ModemProtocol::ParameterLines() const {
    std::string text;
    bool interface_listed = false;
    const auto& unlisted = behaviour_.unlisted_keys;
    for (const auto& [key, value] : parameters_.Entries()) {
        if (std::find(unlisted.begin(), unlisted.end(), key) != unlisted.end()) continue;
        const bool is_interface = key == modem::kInterfaceKey;
        interface_listed = interface_listed || is_interface;
        text += ReplyLine(key, is_interface && behaviour_.rs485 ? modem::kRs485Interface : value);
    }
    if (behaviour_.rs485 && !interface_listed) {
        text += ReplyLine(modem::kInterfaceKey, modem::kRs485Interface);
    }
    return text;
}

void ModemProtocol::AnswerGet(ModemReaction& out) const {
    const std::string lines = ParameterLines();
    if (behaviour_.hang_up_after_get_bytes > 0) {
        out.steps.push_back(ModemStep::Send(
            behaviour_.reply_delay, WithEndLine(lines).substr(0, behaviour_.hang_up_after_get_bytes)));
        HangUp(out);
    } else if (behaviour_.endless_reply) {
        // The lines go round and round; the final "OK" never comes.
        out.steps.push_back(ModemStep::Trickle(behaviour_.reply_delay, lines, behaviour_.endless_limit));
    } else {
        ReplyInBursts(WithEndLine(lines), out);
    }
}

void ModemProtocol::AnswerTcp(ModemReaction& out) const {
    std::string text;
    for (const auto& connection : behaviour_.connections) {
        text += ReplyLine(modem::kConnectionLine, connection);
    }
    ReplyInBursts(WithEndLine(text), out);
}

void ModemProtocol::AnswerCmd(ModemReaction& out) {
    if (behaviour_.refuse_cmd) {
        Reply(std::string(modem::kErrorReply), out);
        return;
    }
    pending_.Clear();
    write_mode_ = true;
    lines_answered_ = 0;
    session_lines_ = 0;
    Reply(std::string(modem::kReadyReply), out, behaviour_.repeat_ready);
}

void ModemProtocol::AnswerParameterLine(const std::string& line, ModemReaction& out) {
    const auto [key, value] = ModemParameters::SplitLine(line);
    const bool repeated = ++session_lines_ == behaviour_.repeat_line_ack;
    if (!behaviour_.reject_key.empty() && key == behaviour_.reject_key) {
        Reply(std::string(modem::kRejectReply), out, repeated);
        return;
    }
    if (behaviour_.rs485 && key == modem::kComFlowKey) {
        // Flow control does not exist on RS485; the line is not kept.
        Reply(std::string(modem::kRs485Reply), out, repeated);
    } else {
        pending_.Set(key, value);
        Reply(std::string(modem::kOkReply), out, repeated);
    }
    ++lines_answered_;
    if (behaviour_.hang_up_after_lines > 0 && lines_answered_ >= behaviour_.hang_up_after_lines) HangUp(out);
}

void ModemProtocol::AnswerSave(ModemReaction& out) {
    if (behaviour_.bad_save) {
        Reply(std::string(modem::kRejectReply), out);
        return;
    }
    parameters_.Merge(pending_);
    pending_.Clear();
    Reply(std::string(modem::kOkReply), out, behaviour_.repeat_save);
}

void ModemProtocol::AnswerUpdate(ModemReaction& out) {
    if (behaviour_.no_update_reply) return;
    loader_.Begin();
    packets_accepted_ = 0;
    Reply(std::string(1, modem::kAccepted), out);
}

void ModemProtocol::FeedLoader(char byte, ModemReaction& out) {
    const int block_number = loader_.BlocksStored() + 1;
    const auto outcome = loader_.Feed(byte, behaviour_);
    if (outcome.byte_not_taken) {
        FeedLine(byte, out);
        return;
    }
    if (outcome.packet_received || outcome.image_complete) {
        out.packet_taken = true;
        packets_ += outcome.packet_received ? 1 : 0;
        naks_ += outcome.nak_sent ? 1 : 0;
        if (outcome.image_complete) {
            image_ = loader_.TakeImage();
            ++uploads_;
        }
    }
    if (outcome.answer) {
        const bool repeated = outcome.packet_received ? block_number == behaviour_.repeat_block_ack
                                                      : outcome.count_received && behaviour_.repeat_count_ack;
        AnswerLoader(*outcome.answer, outcome.packet_received ? block_number : 0, repeated, out);
    }
    if (!outcome.packet_accepted) return;
    ++packets_accepted_;
    if (behaviour_.hang_up_after_packets > 0 && packets_accepted_ >= behaviour_.hang_up_after_packets)
        HangUp(out);
}

void ModemProtocol::AnswerLoader(char answer, int block_number, bool repeated, ModemReaction& out) const {
    const auto chosen = [block_number](int block) { return block_number > 0 && block_number == block; };
    std::string reply(1, answer);
    if (chosen(behaviour_.doubled_ack_block)) reply += answer;
    const auto late = chosen(behaviour_.late_ack_block) ? behaviour_.late_ack_delay : 0ms;
    Reply(std::move(reply), out, repeated, late);
}

void ModemProtocol::Reply(std::string text, ModemReaction& out, bool repeated,
                          std::chrono::milliseconds late) const {
    SendAnswer(text, late + behaviour_.reply_delay, out);
    if (repeated) SendAnswer(std::move(text), behaviour_.repeat_delay, out);
}

void ModemProtocol::SendAnswer(std::string text, std::chrono::milliseconds wait, ModemReaction& out) const {
    if (!behaviour_.acks_byte_by_byte || text.size() < 2) {
        out.steps.push_back(ModemStep::Send(wait, std::move(text)));
        return;
    }
    std::uniform_int_distribution<int> gap(5, 30);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto pause = i == 0 ? wait : std::chrono::milliseconds(gap(byte_gaps_));
        out.steps.push_back(ModemStep::Send(pause, text.substr(i, 1)));
    }
}

void ModemProtocol::ReplyInBursts(const std::string& text, ModemReaction& out) const {
    if (behaviour_.burst_gap.count() <= 0 || text.size() < 2) {
        out.steps.push_back(ModemStep::Send(behaviour_.reply_delay, text));
        return;
    }
    const std::size_t split =
        behaviour_.burst_split > 0 ? std::min(behaviour_.burst_split, text.size()) : text.size() / 2;
    out.steps.push_back(ModemStep::Send(behaviour_.reply_delay, text.substr(0, split)));
    out.steps.push_back(ModemStep::Send(behaviour_.burst_gap, text.substr(split)));
}

void ModemProtocol::HangUp(ModemReaction& out) const {
    out.steps.push_back(ModemStep::HangUp(behaviour_.hang_up_linger));
}

}  // namespace nkq
