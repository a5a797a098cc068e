#include <gtest/gtest.h>

#include "app/ErrorText.h"

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
    ::testing::Values(
        PeriodCase{"Unable to open com port (win error code: 2)", "Unable to open com port (win error code: 2)"},
        PeriodCase{"'abc' is not a valid integer value", "'abc' is not a valid integer value."},
        PeriodCase{"Invalid data type for 'FileName'", "Invalid data type for 'FileName'"},
        PeriodCase{"Ends with a period.", "Ends with a period."}, PeriodCase{"Really!", "Really!"},
        PeriodCase{"trailing blank ", "trailing blank "}, PeriodCase{"control\r", "control\r"},
        PeriodCase{"digit 7", "digit 7."}, PeriodCase{"colon:", "colon:."}, PeriodCase{"question?", "question?."},
        PeriodCase{"slash/", "slash/."}, PeriodCase{"minus-", "minus-"}, PeriodCase{"", ""},
        // A Cyrillic letter, in either encoding, ends in a byte above 0x2E.
        PeriodCase{"Ошибка", "Ошибка."}, PeriodCase{"\xCE\xF8\xE8\xE1\xEA\xE0", "\xCE\xF8\xE8\xE1\xEA\xE0."}));

TEST(StartupFailureText, NamesKindModuleAddressAndMessage) {
    EXPECT_EQ(StartupFailureText("EComPort", "nkq-workstation", 0x4A3F10, "Registry error (win error code: 2)"),
              "Exception EComPort in module nkq-workstation at 004A3F10.\r\nRegistry error (win error code: 2).\r\n");
    EXPECT_EQ(StartupFailureText("EAbort", "m", 0, "Done."), "Exception EAbort in module m at 00000000.\r\nDone.\r\n");
    EXPECT_EQ(StartupFailureText("E", "m", 1, ""), "Exception E in module m at 00000001.\r\n\r\n");
}

}  // namespace
}  // namespace nkq
