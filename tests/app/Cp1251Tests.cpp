#include <gtest/gtest.h>

#include "app/Cp1251.h"

namespace nkq {
namespace {

TEST(Cp1251, CyrillicRoundTrip) {
    const std::string utf8 = "Нет подключения к устройству ёЁ№";
    const std::string bytes = Utf8ToCp1251(utf8);
    EXPECT_EQ(bytes,
              "\xCD\xE5\xF2 \xEF\xEE\xE4\xEA\xEB\xFE\xF7\xE5\xED\xE8\xFF \xEA "
              "\xF3\xF1\xF2\xF0\xEE\xE9\xF1\xF2\xE2\xF3 \xB8\xA8\xB9");
    EXPECT_EQ(Cp1251ToUtf8(bytes), utf8);
}

TEST(Cp1251, EveryByteSurvivesTheWayThroughUtf8) {
    std::string all;
    for (int b = 1; b < 256; ++b)
        if (b != 0x98) all += static_cast<char>(b);  // the one byte Windows-1251 leaves unused
    EXPECT_EQ(Utf8ToCp1251(Cp1251ToUtf8(all)), all);
}

TEST(Cp1251, UnmappableAndMalformedInputBecomesQuestionMarks) {
    EXPECT_EQ(Utf8ToCp1251("a\xE4\xB8\xAD"
                           "b"),
              "a?b");  // a CJK character
    EXPECT_EQ(Utf8ToCp1251("\xFF"), "?");
    EXPECT_EQ(Utf8ToCp1251("\xD0"), "?");  // cut-off sequence
}

}  // namespace
}  // namespace nkq
