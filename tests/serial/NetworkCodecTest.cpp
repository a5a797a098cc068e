// The pure parts of network ports, as tables of literal bytes: the telnet
// layer, RFC 2217's COM-PORT-OPTION, the port names and NKQ_REMOTE_PORTS.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ComPortOption.h"
#include "NetworkPortName.h"
#include "RemotePorts.h"
#include "SerialDevice.h"
#include "TelnetCodec.h"

namespace nkq {
namespace {

using namespace std::string_literals;
using telnet::Negotiation;
using telnet::Piece;
using telnet::Suboption;

constexpr unsigned char kIac = 0xFF, kWill = 0xFB, kWont = 0xFC, kDo = 0xFD, kDont = 0xFE;

TEST(TelnetCodec, EscapeDoublesEveryIacAndNothingElse) {
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"", ""},
        {"GET\r", "GET\r"},
        {"\xFF", "\xFF\xFF"},
        {"a\xFF\xFF"
         "b",
         "a\xFF\xFF\xFF\xFF"
         "b"},
        {"\r\0\xFE\xFD"s, "\r\0\xFE\xFD"s},
    };
    for (const auto& [data, wire] : rows) EXPECT_EQ(telnet::Escape(data), wire) << wire;
}

TEST(TelnetCodec, DecoderSeparatesDataNegotiationAndSubnegotiationInOrder) {
    struct Row {
        std::vector<std::string> feeds;  // one stream cut into reads
        std::vector<Piece> pieces;
    };
    const std::vector<Row> rows = {
        {{"OK\r\n"}, {"OK\r\n"s}},
        {{"a\xFF\xFF"
          "b"},
         {"a\xFF"
          "b"s}},
        {{"\xFF\xFB\x03\xFF\xFD\x2C"
          "x"},
         {Negotiation{kWill, 3}, Negotiation{kDo, 44}, "x"s}},
        {{"\xFF\xFA\x2C\x65\x00\x01\xC2\x00\xFF\xF0"s}, {Suboption{44, "\x65\x00\x01\xC2\x00"s}}},
        // 0xFF inside a subnegotiation travels doubled.
        {{"\xFF\xFA\x2C\x6B\xFF\xFF\xFF\xF0"}, {Suboption{44, "\x6B\xFF"}}},
        // Cut anywhere, the same stream gives the same pieces.
        {{"d\xFF", "\xFF\xFF", "\xFA\x2C\x70", "\x03\xFF",
          "\xF0"
          "e"},
         {"d\xFF"s, Suboption{44, "\x70\x03"}, "e"s}},
        // NOP, go-ahead and a data mark are dropped.
        {{"a\xFF\xF1"
          "b\xFF\xF9\xFF\xF2"},
         {"ab"s}},
        // A subnegotiation cut off by a command is dropped; the command counts.
        {{"\xFF\xFA\x2C\x65\x00\xFF\xFB\x00z"s}, {Negotiation{kWill, 0}, "z"s}},
    };
    for (const auto& row : rows) {
        telnet::Decoder decoder;
        std::vector<Piece> pieces;
        for (const auto& feed : row.feeds) {
            for (auto& piece : decoder.Feed(feed)) {
                // Data split across reads is joined, as a reader would see it.
                if (!pieces.empty() && std::holds_alternative<std::string>(pieces.back()) &&
                    std::holds_alternative<std::string>(piece)) {
                    std::get<std::string>(pieces.back()) += std::get<std::string>(piece);
                } else {
                    pieces.push_back(std::move(piece));
                }
            }
        }
        EXPECT_EQ(pieces, row.pieces) << row.feeds.front();
    }
}

TEST(TelnetCodec, NegotiationIsAnsweredOnceAndUnknownOptionsAreRefused) {
    struct Row {
        std::vector<Negotiation> received;
        std::vector<std::string> answers;
    };
    const std::vector<Row> rows = {
        // What a server offers at connect: binary and go-ahead taken, echo refused.
        {{{kDo, 0}, {kWill, 0}, {kWill, 3}, {kDo, 3}, {kWill, 1}},
         {"\xFF\xFB\x00"s, "\xFF\xFD\x00"s, "\xFF\xFD\x03", "\xFF\xFB\x03", "\xFF\xFE\x01"}},
        // Asked again for what is on: no answer, so no loop.
        {{{kDo, 0}, {kDo, 0}, {kWill, 3}, {kWill, 3}}, {"\xFF\xFB\x00"s, "", "\xFF\xFD\x03", ""}},
        // Switched off after on: acknowledged once; off while off: silence.
        {{{kDo, 0}, {kDont, 0}, {kDont, 0}, {kWont, 5}}, {"\xFF\xFB\x00"s, "\xFF\xFC\x00"s, "", ""}},
        // Options we never do.
        {{{kDo, 1}, {kDo, 24}, {kWill, 44}}, {"\xFF\xFC\x01", "\xFF\xFC\x18", "\xFF\xFE\x2C"}},
    };
    for (const auto& row : rows) {
        telnet::Options options;
        std::vector<std::string> answers;
        for (const auto& negotiation : row.received) answers.push_back(telnet::Answer(options, negotiation));
        EXPECT_EQ(answers, row.answers);
    }
}

TEST(TelnetCodec, OurRequestsAreSettledByTheAnswerWithoutReply) {
    telnet::Options options;
    EXPECT_EQ(telnet::RequestOurs(options, 44), "\xFF\xFB\x2C");
    EXPECT_EQ(telnet::RequestTheirs(options, 0), "\xFF\xFD\x00"s);
    EXPECT_EQ(telnet::Answer(options, {kDo, 44}), "");
    EXPECT_EQ(options.ours[44], telnet::OptionState::Yes);
    EXPECT_EQ(telnet::Answer(options, {kWont, 0}), "");
    EXPECT_EQ(options.theirs[0], telnet::OptionState::No);

    telnet::Options refused;
    telnet::RequestOurs(refused, 44);
    EXPECT_EQ(telnet::Answer(refused, {kDont, 44}), "");
    EXPECT_EQ(refused.ours[44], telnet::OptionState::No);
}

TEST(ComPortOption, TheWorkstationsLineGoesOutAsTheseRequests) {
    std::string wire;
    for (const auto& request : rfc2217::LineRequests(SerialLine{})) wire += rfc2217::RequestBytes(request);
    EXPECT_EQ(wire,
              "\xFF\xFA\x2C\x05\x09\xFF\xF0"              // DTR off
              "\xFF\xFA\x2C\x05\x0C\xFF\xF0"              // RTS off
              "\xFF\xFA\x2C\x01\x00\x01\xC2\x00\xFF\xF0"  // 115200 bit/s
              "\xFF\xFA\x2C\x02\x08\xFF\xF0"              // 8 data bits
              "\xFF\xFA\x2C\x03\x01\xFF\xF0"              // no parity
              "\xFF\xFA\x2C\x04\x01\xFF\xF0"              // 1 stop bit
              "\xFF\xFA\x2C\x05\x01\xFF\xF0"s);           // no flow control
    SerialLine other;
    other.baud_rate = 9600;
    other.parity = TParityBits::prEven;
    other.stop_bits = TStopBits::sbTwoStopBits;
    other.cts_flow = true;
    other.dtr = TDTRFlowControl::dtrEnable;
    const auto requests = rfc2217::LineRequests(other);
    EXPECT_EQ(rfc2217::Describe(requests[0]), "SET-CONTROL 8");
    EXPECT_EQ(rfc2217::Describe(requests[2]), "SET-BAUDRATE 9600");
    EXPECT_EQ(rfc2217::Describe(requests[4]), "SET-PARITY 3");
    EXPECT_EQ(rfc2217::Describe(requests[5]), "SET-STOPSIZE 2");
    EXPECT_EQ(rfc2217::Describe(requests[6]), "SET-CONTROL 3");
}

TEST(ComPortOption, ServerAnswersAreMatchedToTheirSettingWhateverTheValue) {
    const auto requests = rfc2217::LineRequests(SerialLine{});
    const std::vector<bool> required{false, false, true, true, true, true, true};
    for (std::size_t i = 0; i < requests.size(); ++i)
        EXPECT_EQ(rfc2217::AnswerRequired(requests[i]), required[i]) << i;
    // The server's SET-BAUDRATE (101) with 9600, and SET-CONTROL (105) answers.
    const auto baud = rfc2217::ServerCommand("\x65\x00\x00\x25\x80"s);
    ASSERT_TRUE(baud);
    EXPECT_TRUE(rfc2217::Answers(*baud, requests[2]));
    EXPECT_EQ(rfc2217::Describe(*baud), "SET-BAUDRATE 9600");
    const auto flow = rfc2217::ServerCommand("\x69\x03");
    const auto dtr = rfc2217::ServerCommand("\x69\x08");
    EXPECT_TRUE(rfc2217::Answers(*flow, requests[6]));
    EXPECT_FALSE(rfc2217::Answers(*flow, requests[0]));
    EXPECT_TRUE(rfc2217::Answers(*dtr, requests[0]));
    EXPECT_FALSE(rfc2217::Answers(*dtr, requests[1]));
    EXPECT_FALSE(rfc2217::ServerCommand("\x05\x01"));  // a client's request is no answer
    EXPECT_FALSE(rfc2217::ServerCommand(""));
}

TEST(ComPortOption, PurgeDataNamesTheServersBuffers) {
    EXPECT_EQ(rfc2217::RequestBytes(rfc2217::PurgeRequest(true, true)), "\xFF\xFA\x2C\x0C\x03\xFF\xF0");
    EXPECT_EQ(rfc2217::RequestBytes(rfc2217::PurgeRequest(true, false)), "\xFF\xFA\x2C\x0C\x01\xFF\xF0");
    EXPECT_EQ(rfc2217::RequestBytes(rfc2217::PurgeRequest(false, true)), "\xFF\xFA\x2C\x0C\x02\xFF\xF0");
}

TEST(NetworkPortName, WellFormedNamesAndTheirParts) {
    using P = NetworkProtocol;
    const std::vector<std::pair<std::string, NetworkPortName>> rows = {
        {"rfc2217://10.0.0.5:4001", {P::Rfc2217, "10.0.0.5", 4001}},
        {"socket://modems.plant-2.local:2217", {P::Raw, "modems.plant-2.local", 2217}},
        {"RFC2217://box_1:1", {P::Rfc2217, "box_1", 1}},
        {"socket://[::1]:65535", {P::Raw, "::1", 65535}},
        {"rfc2217://[fe80::1%eth0]:4001", {P::Rfc2217, "fe80::1%eth0", 4001}},
    };
    for (const auto& [text, parts] : rows) {
        EXPECT_TRUE(IsNetworkPort(text)) << text;
        EXPECT_EQ(ParseNetworkPortName(text), parts) << text;
        EXPECT_EQ(NetworkPortProblem(text), "") << text;
    }
    EXPECT_EQ(AddressText(rows[3].second), "[::1]:65535");
    EXPECT_EQ(AddressText(rows[0].second), "10.0.0.5:4001");
}

TEST(NetworkPortName, MalformedNamesAreToldWhatTheyLack) {
    for (const std::string text :
         {"rfc2217://", "rfc2217://host", "rfc2217://host:", "rfc2217://:4001", "socket://host:0",
          "socket://host:65536", "socket://host:40x1", "socket://::1:4001", "socket://[::1]4001",
          "socket://[host]:4001", "rfc2217://host:4001/", "rfc2217://host:4001?ign_set_control",
          "rfc2217://us er:1"}) {
        EXPECT_TRUE(IsNetworkPort(text)) << text;
        EXPECT_FALSE(ParseNetworkPortName(text)) << text;
        EXPECT_NE(NetworkPortProblem(text).find("HOST:PORT"), std::string::npos) << text;
    }
    for (const std::string text : {"ttyUSB0", "/dev/pts/3", "COM5", "tcp://host:1", "socket:/host:1"}) {
        EXPECT_FALSE(IsNetworkPort(text)) << text;
        EXPECT_EQ(NetworkPortProblem(text), "") << text;
    }
}

TEST(RemotePorts, BlanksOfAnyKindSeparateTheNamesInTheirOrder) {
    EXPECT_EQ(SplitRemotePorts(""), std::vector<std::string>{});
    EXPECT_EQ(SplitRemotePorts(" \t\n"), std::vector<std::string>{});
    EXPECT_EQ(SplitRemotePorts("  socket://b:2\trfc2217://a:1\n\nrfc2217://a:1 "),
              (std::vector<std::string>{"socket://b:2", "rfc2217://a:1", "rfc2217://a:1"}));
}

}  // namespace
}  // namespace nkq
