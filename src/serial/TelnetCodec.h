#pragma once
// The telnet layer of an RFC 2217 connection as pure functions of bytes:
// escaping 0xFF in data, splitting a received stream into data, option
// negotiation and subnegotiations, and the answers to a peer's negotiation.
// Byte strings are std::string, as everywhere in the workstation.
#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace nkq::telnet {

inline constexpr unsigned char kIac = 255;
inline constexpr unsigned char kDont = 254;
inline constexpr unsigned char kDo = 253;
inline constexpr unsigned char kWont = 252;
inline constexpr unsigned char kWill = 251;
inline constexpr unsigned char kSb = 250;
inline constexpr unsigned char kSe = 240;

inline constexpr unsigned char kBinary = 0;
inline constexpr unsigned char kSuppressGoAhead = 3;
inline constexpr unsigned char kComPortOption = 44;

// Every 0xFF of `data` doubled, as data must travel.
std::string Escape(std::string_view data);

// IAC, the verb and the option.
std::string Command(unsigned char verb, unsigned char option);
// IAC SB option, the payload escaped, IAC SE.
std::string Subnegotiation(unsigned char option, std::string_view payload);

struct Negotiation {
    unsigned char verb;  // kWill, kWont, kDo or kDont
    unsigned char option;
    bool operator==(const Negotiation&) const = default;
};

struct Suboption {
    unsigned char option;
    std::string payload;  // unescaped
    bool operator==(const Suboption&) const = default;
};

// What a stream holds, in order of arrival.
using Piece = std::variant<std::string, Negotiation, Suboption>;

// Splits a received stream; a command cut between two reads is completed by
// the next. Other telnet commands (NOP, GA, data mark) are dropped.
class Decoder {
public:
    std::vector<Piece> Feed(std::string_view bytes);

private:
    enum class State { Data, Iac, Verb, Sub, SubIac };

    void Step(unsigned char byte, std::vector<Piece>& pieces);
    static void AppendData(unsigned char byte, std::vector<Piece>& pieces);

    static constexpr std::size_t kMaxPayload = 256;  // a server's answers are a few bytes

    State state_ = State::Data;
    unsigned char verb_ = 0;
    std::string payload_;
};

// The state of one side's options (RFC 1143, without the queue bits: this
// side never asks twice).
enum class OptionState : unsigned char { No, WantYes, Yes };

struct Options {
    std::array<OptionState, 256> ours{};    // what we do (WILL/WONT)
    std::array<OptionState, 256> theirs{};  // what the peer does (DO/DONT)
};

// Asks to enable an option on our side (WILL) or the peer's (DO).
std::string RequestOurs(Options& options, unsigned char option);
std::string RequestTheirs(Options& options, unsigned char option);

// The answer owed to the peer's negotiation (empty when none is owed),
// with `options` brought up to date. We do binary transmission, suppress
// go-ahead and COM-PORT-OPTION ourselves, and let the peer do binary and
// suppress go-ahead; everything else is refused, echo among it.
std::string Answer(Options& options, const Negotiation& negotiation);

}  // namespace nkq::telnet
