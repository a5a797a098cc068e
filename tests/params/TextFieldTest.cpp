#include <gtest/gtest.h>

#include <string>

#include "ChangeRecorder.h"
#include "params/TextField.h"

namespace nkq {
namespace {

TEST(TextField, KeepsATextLongerThanTheTypingLimitWhole) {
    TextField password(20);
    const std::string thirty(30, 'p');
    password.SetText(thirty);
    EXPECT_EQ(password.Text(), thirty);
    EXPECT_EQ(password.TypingLimit(), 20u);
}

TEST(TextField, HoldsWindows1251BytesUnchanged) {
    TextField apn(50);
    const std::string bytes = "\xe8\xed\xf2\xe5\xf0\xed\xe5\xf2.\xec\xf2\xf1";
    apn.SetText(bytes);
    EXPECT_EQ(apn.Text(), bytes);
}

TEST(TextField, ReportsOnlyRealChanges) {
    TextField login(20);
    testing::HookCounter counter;
    counter.Attach(login);
    login.SetText("");
    login.SetText("user");
    login.SetText("user");
    login.SetEnabled(true);
    EXPECT_EQ(counter.values, 1);
    EXPECT_EQ(counter.enabled, 0);
}

}  // namespace
}  // namespace nkq
