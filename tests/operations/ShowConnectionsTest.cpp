// The connection list built from "TCP" replies, written as they come off the wire.
#include <gtest/gtest.h>

#include "operations/ServerStatus.h"

namespace nkq {
namespace {

const std::string kHeading = "Текущие подключения:\r\n";

struct Row {
    const char* name;
    std::string reply;
    std::string shown;  // what follows the heading
};

void PrintTo(const Row& row, std::ostream* out) { *out << row.name; }

class ShowConnectionsTest : public ::testing::TestWithParam<Row> {};

TEST_P(ShowConnectionsTest, ListsEachIpLineWithoutItsPrefix) {
    EXPECT_EQ(ShowConnections(GetParam().reply), kHeading + GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, ShowConnectionsTest,
    ::testing::Values(Row{"TwoConnectionsAndOk", "IP 192.168.0.5:1234\r\nIP 10.20.30.40:5000\r\nOK",
                          "192.168.0.5:1234\r\n10.20.30.40:5000\r\n"},
                      Row{"NoConnections", "OK", ""}, Row{"EmptyReply", "", ""},
                      Row{"LineFeedsOnly", "IP a\nIP b\nOK", "a\r\nb\r\n"},
                      Row{"CarriageReturnsOnly", "IP a\rIP b\rOK", "a\r\nb\r\n"},
                      Row{"MixedLineEnds", "IP a\r\n\r\nIP b\n\rIP c", "a\r\nb\r\nc\r\n"},
                      Row{"AnySeparatorCharacterIsDropped", "IP:1.2.3.4:80\r\nIP\t5.6.7.8:81",
                          "1.2.3.4:80\r\n5.6.7.8:81\r\n"},
                      Row{"OnlyLinesThatBeginWithIp",
                          "CONNECTIONS 2\r\n IP 1.1.1.1:1\r\nip 2.2.2.2:2\r\nXIP 3\r\nIP 4.4.4.4:4",
                          "4.4.4.4:4\r\n"},
                      Row{"ABareIpLineShowsEmpty", "IP\r\nIPX\r\nOK", "\r\n\r\n"},
                      Row{"BlanksInsideAreKept", "IP  a b ", " a b \r\n"},
                      Row{"ModemTextBecomesUtf8", "IP \xEC\xEE\xE4\xE5\xEC:1", "модем:1\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StatusTexts, TheWindowStartsWithoutTheColonThatPollsAdd) {
    EXPECT_STREQ(kStatusInitialText, "Текущие подключения");
    EXPECT_EQ(ShowConnections("OK"), std::string(kStatusInitialText) + ":\r\n");
}

}  // namespace
}  // namespace nkq
