#include <gtest/gtest.h>

#include <climits>

#include "ChangeRecorder.h"
#include "params/ComboField.h"

namespace nkq {
namespace {

ComboField RateList() {
    return ComboField({"1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200"}, 0);
}

struct IndexCase {
    int given;
    int index;
    const char* text;
};

class ComboFieldIndex : public ::testing::TestWithParam<IndexCase> {};

TEST_P(ComboFieldIndex, SelectsInRangeAndClearsOutside) {
    ComboField combo = RateList();
    combo.SetIndex(GetParam().given);
    EXPECT_EQ(combo.Index(), GetParam().index);
    EXPECT_EQ(combo.Text(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Indices, ComboFieldIndex,
                         ::testing::Values(IndexCase{3, 3, "9600"}, IndexCase{7, 7, "115200"},
                                           IndexCase{0, 0, "1200"}, IndexCase{8, -1, ""},
                                           IndexCase{-1, -1, ""}, IndexCase{-7, -1, ""},
                                           IndexCase{INT_MAX, -1, ""}, IndexCase{INT_MIN, -1, ""}));

TEST(ComboField, StartsAtItsInitialEntry) {
    ComboField combo = RateList();
    EXPECT_EQ(combo.Count(), 8);
    EXPECT_EQ(combo.Index(), 0);
    EXPECT_EQ(combo.Text(), "1200");
}

TEST(ComboField, SettingTheSameIndexChangesNothing) {
    ComboField combo = RateList();
    testing::HookCounter counter;
    counter.Attach(combo);
    combo.SetIndex(0);
    EXPECT_EQ(counter.values, 0);
    combo.SetIndex(9);
    combo.SetIndex(12);  // already cleared
    EXPECT_EQ(counter.values, 1);
    EXPECT_EQ(combo.Index(), -1);
}

TEST(ComboField, KeepsItsSelectionWhileDisabled) {
    ComboField combo = RateList();
    testing::HookCounter counter;
    counter.Attach(combo);
    combo.SetIndex(5);
    combo.SetEnabled(false);
    EXPECT_FALSE(combo.Enabled());
    EXPECT_EQ(combo.Text(), "38400");
    combo.SetIndex(6);  // the system may still set it
    EXPECT_EQ(combo.Index(), 6);
    combo.SetEnabled(false);
    EXPECT_EQ(counter.enabled, 1);
    EXPECT_EQ(counter.values, 2);
}

TEST(ComboField, FindsTheFirstExactlyEqualEntry) {
    ComboField combo({"a", "b", "a"}, 1);
    EXPECT_EQ(combo.IndexOf("a"), 0);
    EXPECT_EQ(combo.IndexOf("b"), 1);
    EXPECT_EQ(combo.IndexOf("B"), -1);
    EXPECT_EQ(combo.IndexOf("a "), -1);
}

}  // namespace
}  // namespace nkq
