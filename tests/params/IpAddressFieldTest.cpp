#include <gtest/gtest.h>

#include <string>

#include "ChangeRecorder.h"
#include "params/IpAddressField.h"

namespace nkq {
namespace {

struct AddressCase {
    std::string given;
    std::string shown;
};

void PrintTo(const AddressCase& c, std::ostream* os) { *os << "'" << c.given << "' -> " << c.shown; }

class IpAddressFieldSetText : public ::testing::TestWithParam<AddressCase> {};

TEST_P(IpAddressFieldSetText, CutsAtTheDotsAndKeepsTheLowEightBits) {
    IpAddressField field;
    field.SetText(GetParam().given);
    EXPECT_EQ(field.Text(), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, IpAddressFieldSetText,
    ::testing::Values(AddressCase{"192.168.1.300", "192.168.1.44"}, AddressCase{"10.0.0.1 ", "10.0.0.0"},
                      AddressCase{"10.1", "10.1.0.0"}, AddressCase{"1.2.3.4.5", "1.2.3.0"},
                      AddressCase{"-1", "255.0.0.0"}, AddressCase{"-1.-1.-1.-1", "255.255.255.255"},
                      AddressCase{"abc", "0.0.0.0"}, AddressCase{"", "0.0.0.0"},
                      AddressCase{"10.0.0.1", "10.0.0.1"}, AddressCase{" 7.8.9.10", "7.8.9.10"},
                      AddressCase{"$FF.0x10.x1f.0", "255.16.31.0"}, AddressCase{"1..3.4", "1.0.3.4"},
                      AddressCase{"256.257.0.0", "0.1.0.0"}, AddressCase{"1.5.2.3", "1.5.2.3"},
                      AddressCase{"4294967295.1.1.1", "0.1.1.1"}, AddressCase{"1.2.3.", "1.2.3.0"},
                      AddressCase{"1.2 .3.4", "1.0.3.4"}, AddressCase{"1.2.3.4.", "1.2.3.0"}));

TEST(IpAddressField, StartsAtZeroAddress) {
    IpAddressField field;
    EXPECT_EQ(field.Text(), "0.0.0.0");
    EXPECT_TRUE(field.Enabled());
}

TEST(IpAddressField, TakesItsPartsFromTheWindow) {
    IpAddressField field;
    testing::HookCounter counter;
    counter.Attach(field);
    field.SetParts({172, 16, 0, 254});
    EXPECT_EQ(field.Text(), "172.16.0.254");
    EXPECT_EQ(field.GetParts()[3], 254);
    field.SetText("172.16.0.254");
    EXPECT_EQ(counter.values, 1);
}

}  // namespace
}  // namespace nkq
