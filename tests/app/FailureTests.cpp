#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include "SystemErrors.h"
#include "app/Failure.h"

namespace nkq {
namespace {

TEST(Failures, SilentAbortCarriesItsFixedText) {
    try {
        AbortOperation();
        FAIL() << "AbortOperation returned";
    } catch (const Exception& e) {
        EXPECT_NE(dynamic_cast<const EAbort*>(&e), nullptr);
        EXPECT_EQ(e.KindName(), "EAbort");
        EXPECT_EQ(e.Message(), "Operation aborted");
    }
}

std::string Absolute(const std::string& path) { return std::filesystem::absolute(path).string(); }

TEST(Failures, FileErrorsQuoteTheFullPathAndDropTheSystemTextsPeriod) {
    using namespace test;
    const auto full = (std::filesystem::current_path() / "settings.txt").string();
    EXPECT_EQ(FileOpenError("settings.txt", kNoSuchFile).Message(),
              "Cannot open file \"" + full + "\". " + ErrorText(kNoSuchFile));
    EXPECT_EQ(FileCreateError("/no/such/dir/a.txt", kAccessDenied).Message(),
              "Cannot create file \"" + Absolute("/no/such/dir/a.txt") + "\". " + ErrorText(kAccessDenied));
    EXPECT_EQ(FileCreateError("/x", kAccessDenied).KindName(), "EFCreateError");
}

TEST(Failures, FileErrorsKeepACyrillicPathAsUtf8) {
    const std::string message = FileOpenError("настройки/сервер.txt", test::kNoSuchFile).Message();
    EXPECT_NE(message.find("настройки"), std::string::npos) << message;
    EXPECT_NE(message.find("сервер.txt\". "), std::string::npos) << message;
}

TEST(Failures, PlaceholdersInsideFilledValuesAreLeftAlone) {
    EXPECT_EQ(InvalidIntegerError("%s").Message(), "'%s' is not a valid integer value");
    EXPECT_EQ(FileOpenError("/tmp/%s", test::kNoSuchFile).Message(),
              "Cannot open file \"" + Absolute("/tmp/%s") + "\". " + test::ErrorText(test::kNoSuchFile));
}

TEST(Failures, RegistryAndThreadTexts) {
    EXPECT_EQ(InvalidRegistryTypeError("FileName").Message(), "Invalid data type for 'FileName'");
    EXPECT_EQ(RegistryReadError("FileName").Message(), "Failed to get data for 'FileName'");
    EXPECT_EQ(RegistryWriteError("FileName").Message(), "Failed to set data for 'FileName'");
    EXPECT_EQ(ThreadCreationError(EAGAIN).Message(),
              "Thread creation error: Resource temporarily unavailable");
    EXPECT_EQ(ThreadError(EAGAIN).Message(), "Thread Error: Resource temporarily unavailable (11)");
}

TEST(Failures, SystemErrorTextHasNoFinalPeriod) {
#ifdef _WIN32
    const int numbers[] = {2, 3, 5, 31, 32, 0, 9999};
#else
    const int numbers[] = {ENOENT, EACCES, EIO, EBUSY, 0, 9999};
#endif
    for (int error_number : numbers) {
        const std::string text = SystemErrorText(error_number);
        ASSERT_FALSE(text.empty());
        EXPECT_NE(text.back(), '.') << text;
    }
}

}  // namespace
}  // namespace nkq
