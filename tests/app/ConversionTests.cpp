#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "app/Failure.h"
#include "app/TextConversions.h"

namespace nkq {
namespace {

struct IntCase {
    const char* text;
    std::int32_t value;
};

class TextToIntAccepts : public ::testing::TestWithParam<IntCase> {};

TEST_P(TextToIntAccepts, GivesTheValue) {
    EXPECT_EQ(TextToInt(GetParam().text), GetParam().value) << "text: '" << GetParam().text << "'";
}

INSTANTIATE_TEST_SUITE_P(Decimal, TextToIntAccepts,
                         ::testing::Values(IntCase{"0", 0}, IntCase{"12", 12}, IntCase{" 12", 12},
                                           IntCase{"   7", 7}, IntCase{"+5", 5}, IntCase{"-0", 0},
                                           IntCase{"012", 12}, IntCase{"-12", -12},
                                           IntCase{"2147483647", INT32_MAX},
                                           IntCase{"-2147483648", INT32_MIN},
                                           IntCase{"00000000000000000000042", 42}, IntCase{" -3", -3}));

INSTANTIATE_TEST_SUITE_P(Hexadecimal, TextToIntAccepts,
                         ::testing::Values(IntCase{"$1F", 31}, IntCase{"0x1F", 31}, IntCase{"x1f", 31},
                                           IntCase{"X1F", 31}, IntCase{"0X1f", 31}, IntCase{"$FFFFFFFF", -1},
                                           IntCase{"-$10", -16}, IntCase{"+$10", 16},
                                           IntCase{"$80000000", INT32_MIN}, IntCase{"$0000000000FF", 255},
                                           IntCase{" 0x7fffffff", INT32_MAX}, IntCase{"-x1", -1}));

class TextToIntRejects : public ::testing::TestWithParam<const char*> {};

TEST_P(TextToIntRejects, WithTheWholeTextInTheMessage) {
    const std::string text = GetParam();
    try {
        TextToInt(text);
        FAIL() << "accepted '" << text << "'";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'" + text + "' is not a valid integer value");
        EXPECT_EQ(e.KindName(), "EConvertError");
    }
}

INSTANTIATE_TEST_SUITE_P(BadTexts, TextToIntRejects,
                         ::testing::Values("", " ", "   ", "-", "+", "$", "0x", "x", "12 ", "12\r", "\t12",
                                           "1.5", "abc", "2147483648", "-2147483649", "$100000000", "0x1G",
                                           "--1", "+-1", "1e3", "1,000", "$-1", "9999999999999999999999"));

TEST(IntToText, PlainDecimal) {
    EXPECT_EQ(IntToText(-1), "-1");
    EXPECT_EQ(IntToText(0), "0");
    EXPECT_EQ(IntToText(115200), "115200");
    EXPECT_EQ(IntToText(INT32_MIN), "-2147483648");
}

TEST(TextToIntDef, FallsBackOnlyForBadTexts) {
    EXPECT_EQ(TextToIntDef("x", 7), 7);
    EXPECT_EQ(TextToIntDef("$a", 7), 10);
}

struct BoolCase {
    const char* text;
    bool value;
};

class TextToBoolAccepts : public ::testing::TestWithParam<BoolCase> {};

TEST_P(TextToBoolAccepts, GivesTheValue) {
    EXPECT_EQ(TextToBool(GetParam().text), GetParam().value) << "text: '" << GetParam().text << "'";
}

INSTANTIATE_TEST_SUITE_P(NumbersAndWords, TextToBoolAccepts,
                         ::testing::Values(BoolCase{"1", true}, BoolCase{"0", false}, BoolCase{"00", false},
                                           BoolCase{" 1 ", true}, BoolCase{"2", true}, BoolCase{"-1", true},
                                           BoolCase{"+0", false}, BoolCase{"0.0", false},
                                           BoolCase{"0.5", true}, BoolCase{"1e3", true},
                                           BoolCase{"0E5", false}, BoolCase{"true", true},
                                           BoolCase{"TRUE", true}, BoolCase{"True", true},
                                           BoolCase{"FALSE", false}, BoolCase{"fAlSe", false}));

class TextToBoolRejects : public ::testing::TestWithParam<const char*> {};

TEST_P(TextToBoolRejects, WithTheWholeTextInTheMessage) {
    const std::string text = GetParam();
    try {
        TextToBool(text);
        FAIL() << "accepted '" << text << "'";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'" + text + "' is not a valid boolean value");
    }
}

INSTANTIATE_TEST_SUITE_P(BadTexts, TextToBoolRejects,
                         ::testing::Values("", " ", "yes", "no", "T", " true", "true ", "1.2.3", "1e", "e5",
                                           "--1", ".", "1 2", "\t1"));

}  // namespace
}  // namespace nkq
