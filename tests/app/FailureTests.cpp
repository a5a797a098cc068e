#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

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

TEST(Failures, FileErrorsQuoteTheFullPathAndDropTheSystemTextsPeriod) {
    const auto full = (std::filesystem::current_path() / "settings.txt").string();
    EXPECT_EQ(FileOpenError("settings.txt", ENOENT).Message(),
              "Cannot open file \"" + full + "\". No such file or directory");
    EXPECT_EQ(FileCreateError("/no/such/dir/a.txt", EACCES).Message(),
              "Cannot create file \"/no/such/dir/a.txt\". Permission denied");
    EXPECT_EQ(FileCreateError("/x", EACCES).KindName(), "EFCreateError");
}

TEST(Failures, PlaceholdersInsideFilledValuesAreLeftAlone) {
    EXPECT_EQ(InvalidIntegerError("%s").Message(), "'%s' is not a valid integer value");
    EXPECT_EQ(FileOpenError("/tmp/%s", ENOENT).Message(), "Cannot open file \"/tmp/%s\". No such file or directory");
}

TEST(Failures, RegistryAndThreadTexts) {
    EXPECT_EQ(InvalidRegistryTypeError("FileName").Message(), "Invalid data type for 'FileName'");
    EXPECT_EQ(RegistryReadError("FileName").Message(), "Failed to get data for 'FileName'");
    EXPECT_EQ(RegistryWriteError("FileName").Message(), "Failed to set data for 'FileName'");
    EXPECT_EQ(ThreadCreationError(EAGAIN).Message(), "Thread creation error: Resource temporarily unavailable");
    EXPECT_EQ(ThreadError(EAGAIN).Message(), "Thread Error: Resource temporarily unavailable (11)");
}

TEST(Failures, SystemErrorTextHasNoFinalPeriod) {
    for (int error_number : {ENOENT, EACCES, EIO, EBUSY, 0, 9999}) {
        const std::string text = SystemErrorText(error_number);
        ASSERT_FALSE(text.empty());
        EXPECT_NE(text.back(), '.') << text;
    }
}

}  // namespace
}  // namespace nkq
