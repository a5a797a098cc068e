#include "TelnetCodec.h"

namespace nkq::telnet {

namespace {

bool WeDo(unsigned char option) {
    return option == kBinary || option == kSuppressGoAhead || option == kComPortOption;
}

bool TheyMay(unsigned char option) { return option == kBinary || option == kSuppressGoAhead; }

// One side's part of RFC 1143: `enable` is the peer's WILL or DO, the
// answer verbs are those that speak for the side.
std::string Settle(OptionState& state, unsigned char option, bool enable, bool accept, unsigned char yes,
                   unsigned char no) {
    if (enable) {
        switch (state) {
            case OptionState::No:
                if (!accept) return Command(no, option);
                state = OptionState::Yes;
                return Command(yes, option);
            case OptionState::WantYes:
                state = OptionState::Yes;
                return {};
            case OptionState::Yes:
                return {};
        }
    }
    const bool was_on = state == OptionState::Yes;
    state = OptionState::No;
    return was_on ? Command(no, option) : std::string{};
}

}  // namespace

std::string Escape(std::string_view data) {
    std::string escaped;
    escaped.reserve(data.size() + 8);
    for (const char c : data) {
        escaped += c;
        if (static_cast<unsigned char>(c) == kIac) escaped += c;
    }
    return escaped;
}

std::string Command(unsigned char verb, unsigned char option) {
    return {static_cast<char>(kIac), static_cast<char>(verb), static_cast<char>(option)};
}

std::string Subnegotiation(unsigned char option, std::string_view payload) {
    return std::string{static_cast<char>(kIac), static_cast<char>(kSb), static_cast<char>(option)} +
           Escape(payload) + std::string{static_cast<char>(kIac), static_cast<char>(kSe)};
}

std::vector<Piece> Decoder::Feed(std::string_view bytes) {
    std::vector<Piece> pieces;
    for (const char c : bytes) Step(static_cast<unsigned char>(c), pieces);
    return pieces;
}

void Decoder::Step(unsigned char byte, std::vector<Piece>& pieces) {
    switch (state_) {
        case State::Data:
            if (byte == kIac) {
                state_ = State::Iac;
            } else {
                AppendData(byte, pieces);
            }
            return;
        case State::Iac:
            state_ = State::Data;
            if (byte == kIac) {
                AppendData(byte, pieces);
            } else if (byte >= kWill) {
                verb_ = byte;
                state_ = State::Verb;
            } else if (byte == kSb) {
                payload_.clear();
                state_ = State::Sub;
            }
            return;
        case State::Verb:
            pieces.emplace_back(Negotiation{verb_, byte});
            state_ = State::Data;
            return;
        case State::Sub:
            if (byte == kIac) {
                state_ = State::SubIac;
            } else if (payload_.size() < kMaxPayload) {
                payload_ += static_cast<char>(byte);
            }
            return;
        case State::SubIac:
            if (byte == kIac) {
                if (payload_.size() < kMaxPayload) payload_ += static_cast<char>(byte);
                state_ = State::Sub;
            } else if (byte == kSe) {
                if (!payload_.empty())
                    pieces.emplace_back(
                        Suboption{static_cast<unsigned char>(payload_[0]), payload_.substr(1)});
                state_ = State::Data;
            } else {
                // Another command: the subnegotiation was cut off and is dropped.
                state_ = State::Iac;
                Step(byte, pieces);
            }
            return;
    }
}

void Decoder::AppendData(unsigned char byte, std::vector<Piece>& pieces) {
    if (pieces.empty() || !std::holds_alternative<std::string>(pieces.back()))
        pieces.emplace_back(std::string{});
    std::get<std::string>(pieces.back()) += static_cast<char>(byte);
}

std::string RequestOurs(Options& options, unsigned char option) {
    options.ours[option] = OptionState::WantYes;
    return Command(kWill, option);
}

std::string RequestTheirs(Options& options, unsigned char option) {
    options.theirs[option] = OptionState::WantYes;
    return Command(kDo, option);
}

std::string Answer(Options& options, const Negotiation& negotiation) {
    const unsigned char option = negotiation.option;
    switch (negotiation.verb) {
        case kDo:
        case kDont:
            return Settle(options.ours[option], option, negotiation.verb == kDo, WeDo(option), kWill, kWont);
        case kWill:
        case kWont:
            return Settle(options.theirs[option], option, negotiation.verb == kWill, TheyMay(option), kDo,
                          kDont);
        default:
            return {};
    }
}

}  // namespace nkq::telnet
