#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "ChangeRecorder.h"
#include "params/NumericField.h"

namespace nkq {
namespace {

struct TextCase {
    std::int32_t minimum;
    std::int32_t maximum;
    std::string before;
    std::string after;
};

void PrintTo(const TextCase& c, std::ostream* os) {
    *os << c.minimum << ".." << c.maximum << " '" << c.before << "' -> '" << c.after << "'";
}

class NumericFieldLeave : public ::testing::TestWithParam<TextCase> {};

TEST_P(NumericFieldLeave, ShowsTheNumberInRangeRounded) {
    const TextCase& c = GetParam();
    NumericField field(c.minimum, c.maximum, c.minimum);
    field.SetText(c.before);
    field.Leave();
    EXPECT_EQ(field.Text(), c.after);
}

INSTANTIATE_TEST_SUITE_P(Texts, NumericFieldLeave,
                         ::testing::Values(TextCase{0, 65535, "abc", "0"},
                                           TextCase{0, 65535, "70000", "65535"},
                                           TextCase{0, 65535, "5000", "5000"}, TextCase{0, 65535, "-3", "0"},
                                           TextCase{0, 65535, "", "0"}, TextCase{0, 65535, " 42 ", "42"},
                                           TextCase{0, 65535, "12.6", "13"}, TextCase{0, 65535, "12.4", "12"},
                                           TextCase{0, 65535, "2.5", "2"}, TextCase{0, 65535, "3.5", "4"},
                                           TextCase{0, 65535, "1e3", "1000"}, TextCase{0, 65535, "0x10", "0"},
                                           TextCase{0, 65535, "$10", "0"}, TextCase{0, 65535, "12 3", "0"},
                                           TextCase{0, 65535, "99999999999999999999", "65535"},
                                           TextCase{0, 65535, "1e400", "65535"},
                                           TextCase{0, 65535, "-1e400", "0"}, TextCase{1, 10, "abc", "1"},
                                           TextCase{1, 10, "0", "1"}, TextCase{1, 10, "11", "10"},
                                           TextCase{1, 10, "0.4", "1"}, TextCase{1, 10, "+7", "7"}));

struct StepCase {
    std::string before;
    std::int32_t delta;
    std::string after;
};

class NumericFieldStep : public ::testing::TestWithParam<StepCase> {};

TEST_P(NumericFieldStep, StepsFromTheTextsNumberWithinTheRange) {
    NumericField idle(1, 10, 5);
    idle.SetText(GetParam().before);
    idle.Step(GetParam().delta);
    EXPECT_EQ(idle.Text(), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(Steps, NumericFieldStep,
                         ::testing::Values(StepCase{"5", 1, "6"}, StepCase{"5", -1, "4"},
                                           StepCase{"5", 10, "10"}, StepCase{"5", -10, "1"},
                                           StepCase{"10", 1, "10"}, StepCase{"1", -1, "1"},
                                           StepCase{"", 1, "2"}, StepCase{"", -1, "1"},
                                           StepCase{"abc", 1, "2"}, StepCase{"40", -1, "10"},
                                           StepCase{"-40", 1, "1"}));

TEST(NumericField, StepsByTenAtTheTopOfAPortRange) {
    NumericField port(0, 65535, 0);
    port.SetText("65530");
    port.Step(10);
    EXPECT_EQ(port.Text(), "65535");
    port.Step(-10);
    EXPECT_EQ(port.Text(), "65525");
}

struct NumberCase {
    std::int64_t number;
    std::string text;
};

class NumericFieldSetNumber : public ::testing::TestWithParam<NumberCase> {};

TEST_P(NumericFieldSetNumber, BringsTheNumberIntoTheRange) {
    NumericField idle(1, 10, 5);
    idle.SetNumber(GetParam().number);
    EXPECT_EQ(idle.Text(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Numbers, NumericFieldSetNumber,
                         ::testing::Values(NumberCase{0, "1"}, NumberCase{60, "10"}, NumberCase{11, "10"},
                                           NumberCase{7, "7"}, NumberCase{-2147483648LL, "1"},
                                           NumberCase{2147483647LL, "10"}));

TEST(NumericField, ShowsASetTextUncheckedUntilLeft) {
    NumericField port(0, 65535, 0);
    port.SetText("abc");
    EXPECT_EQ(port.Text(), "abc");
    port.SetText("70000");
    EXPECT_EQ(port.Text(), "70000");
    port.Leave();
    EXPECT_EQ(port.Text(), "65535");
}

TEST(NumericField, StartsWithItsInitialNumber) {
    EXPECT_EQ(NumericField(1, 10, 5).Text(), "5");
    EXPECT_EQ(NumericField(0, 65535, 0).Text(), "0");
}

TEST(NumericField, LeavingAWellFormedFieldReportsNoChange) {
    NumericField port(0, 65535, 0);
    testing::HookCounter counter;
    counter.Attach(port);
    port.SetText("5000");
    port.Leave();
    EXPECT_EQ(counter.values, 1);
}

}  // namespace
}  // namespace nkq
