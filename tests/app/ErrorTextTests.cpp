#include <gtest/gtest.h>

#include "app/ErrorText.h"
#include "app/MessageText.h"

namespace nkq {
namespace {

struct PeriodCase {
    const char* message;
    const char* shown;
};

class ErrorDisplayPeriod : public ::testing::TestWithParam<PeriodCase> {};

TEST_P(ErrorDisplayPeriod, AppendsAPeriodOnlyAfterBytesAboveIt) {
    EXPECT_EQ(ErrorDisplayText(GetParam().message), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Endings, ErrorDisplayPeriod,
    ::testing::Values(PeriodCase{"Unable to open com port (win error code: 2)",
                                 "Unable to open com port (win error code: 2)"},
                      PeriodCase{"'abc' is not a valid integer value", "'abc' is not a valid integer value."},
                      PeriodCase{"Invalid data type for 'FileName'", "Invalid data type for 'FileName'"},
                      PeriodCase{"Ends with a period.", "Ends with a period."},
                      PeriodCase{"Really!", "Really!"}, PeriodCase{"trailing blank ", "trailing blank "},
                      PeriodCase{"control\r", "control\r"}, PeriodCase{"digit 7", "digit 7."},
                      PeriodCase{"colon:", "colon:."}, PeriodCase{"question?", "question?."},
                      PeriodCase{"slash/", "slash/."}, PeriodCase{"minus-", "minus-"}, PeriodCase{"", ""},
                      // A Cyrillic letter, in either encoding, ends in a byte above 0x2E.
                      PeriodCase{"Ошибка", "Ошибка."},
                      PeriodCase{"\xCE\xF8\xE8\xE1\xEA\xE0", "\xCE\xF8\xE8\xE1\xEA\xE0."}));

struct FillInCase {
    const char* name;
    const char* pattern;
    std::vector<std::string_view> values;
    const char* filled;
};

class FillInPlaceholders : public ::testing::TestWithParam<FillInCase> {};

// A translated pattern may lack a placeholder or have them in another
// place; filling in must never throw nor rescan what it inserted.
TEST_P(FillInPlaceholders, FillsLeftToRightAndDropsWhatHasNoPlace) {
    const auto& c = GetParam();
    std::string filled;
    switch (c.values.size()) {
        case 1:
            filled = FillIn(c.pattern, {c.values[0]});
            break;
        case 2:
            filled = FillIn(c.pattern, {c.values[0], c.values[1]});
            break;
        default:
            FAIL() << "one or two values per case";
    }
    EXPECT_EQ(filled, c.filled);
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, FillInPlaceholders,
    ::testing::Values(FillInCase{"Both", "Thread Error: %s (%d)", {"busy", "16"}, "Thread Error: busy (16)"},
                      FillInCase{"NoPlaceholder", "kein Wert", {"x"}, "kein Wert"},
                      FillInCase{"FewerPlaceholders", "'%s' bad", {"a", "b"}, "'a' bad"},
                      FillInCase{"ValueHoldsPlaceholder", "%s and %s", {"%s", "b"}, "%s and b"},
                      FillInCase{"LonePercent", "100% of '%s'", {"x"}, "100% of 'x'"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StartupFailureText, NamesKindModuleAddressAndMessage) {
    EXPECT_EQ(
        StartupFailureText("EComPort", "nkq-workstation", 0x4A3F10, "Registry error (win error code: 2)"),
        "Exception EComPort in module nkq-workstation at 004A3F10.\r\nRegistry error (win error code: "
        "2).\r\n");
    EXPECT_EQ(StartupFailureText("EAbort", "m", 0, "Done."),
              "Exception EAbort in module m at 00000000.\r\nDone.\r\n");
    EXPECT_EQ(StartupFailureText("E", "m", 1, ""), "Exception E in module m at 00000001.\r\n\r\n");
}

}  // namespace
}  // namespace nkq
