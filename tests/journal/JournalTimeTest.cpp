#include <gtest/gtest.h>

#include <string>

#include "journal/JournalTime.h"

namespace nkq::journal {
namespace {

struct TimeCase {
    const char* name;
    const char* text;
    const char* stored;  // FormatJournalTime of the result; null when refused
};

void PrintTo(const TimeCase& c, std::ostream* out) { *out << c.name; }

class JournalTimeTexts : public ::testing::TestWithParam<TimeCase> {};

TEST_P(JournalTimeTexts, AreReadAsUtcOrRefused) {
    const auto time = ParseJournalTime(GetParam().text);
    if (GetParam().stored == nullptr) {
        EXPECT_FALSE(time.has_value());
    } else {
        ASSERT_TRUE(time.has_value());
        EXPECT_EQ(FormatJournalTime(*time), GetParam().stored);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rules, JournalTimeTexts,
    ::testing::Values(TimeCase{"Date", "2026-12-08", "2026-12-08T00:00:00.000Z"},
                      TimeCase{"DateAndMinute", "2026-12-08 10:15", "2026-12-08T10:15:00.000Z"},
                      TimeCase{"SecondWithT", "2026-12-08T10:15:02", "2026-12-08T10:15:02.000Z"},
                      TimeCase{"Stored", "2026-12-08T10:15:02.123Z", "2026-12-08T10:15:02.123Z"},
                      TimeCase{"LeapDay", "2028-02-29", "2028-02-29T00:00:00.000Z"},
                      TimeCase{"NoLeapDay", "2026-02-29", nullptr},
                      TimeCase{"Month13", "2026-13-01", nullptr},
                      TimeCase{"Hour24", "2026-12-08 24:00", nullptr},
                      TimeCase{"DayFirst", "08.12.2026", nullptr},
                      TimeCase{"TrailingText", "2026-12-08x", nullptr}, TimeCase{"Empty", "", nullptr}),
    [](const ::testing::TestParamInfo<TimeCase>& info) { return std::string(info.param.name); });

TEST(JournalTime, TableShowsTheSecond) {
    EXPECT_EQ(FormatTableTime(*ParseJournalTime("2026-12-08T10:15:02.999Z")), "2026-12-08 10:15:02");
}

}  // namespace
}  // namespace nkq::journal
