#include <gtest/gtest.h>

#include <string>

#include "journal/JournalLocation.h"

namespace nkq::journal {
namespace {

struct LocationCase {
    const char* name;
    const char* nkq_journal;
    const char* xdg_data_home;
    const char* home;
    const char* path;  // null: recording is off
};

void PrintTo(const LocationCase& c, std::ostream* out) { *out << c.name; }

class JournalLocationRule : public ::testing::TestWithParam<LocationCase> {};

TEST_P(JournalLocationRule, ChoosesTheFile) {
    const auto& c = GetParam();
    const auto path = JournalPathFor(c.nkq_journal, c.xdg_data_home, c.home);
    if (c.path == nullptr) {
        EXPECT_FALSE(path.has_value());
    } else {
        ASSERT_TRUE(path.has_value());
        EXPECT_EQ(path->string(), c.path);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rules, JournalLocationRule,
    ::testing::Values(
        LocationCase{"ExplicitPath", "/tmp/j.db", "/xdg", "/home/a", "/tmp/j.db"},
        LocationCase{"Off", "off", "/xdg", "/home/a", nullptr},
        LocationCase{"XdgDataHome", nullptr, "/xdg", "/home/a", "/xdg/nkq/journal.sqlite3"},
        LocationCase{"EmptyVariablesAreUnset", "", "", "/home/a", "/home/a/.local/share/nkq/journal.sqlite3"},
        LocationCase{"RelativeXdgIgnored", nullptr, "data", "/home/a",
                     "/home/a/.local/share/nkq/journal.sqlite3"},
        LocationCase{"HomeDefault", nullptr, nullptr, "/home/a", "/home/a/.local/share/nkq/journal.sqlite3"}),
    [](const ::testing::TestParamInfo<LocationCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace nkq::journal
