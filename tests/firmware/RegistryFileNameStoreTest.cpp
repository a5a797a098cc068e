// The remembered file name in the Windows registry (run under Wine), in a
// key of the test's own below HKEY_CURRENT_USER.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>

#include "app/Failure.h"
#include "app/WidePath.h"
#include "firmware/RegistryFileNameStore.h"

namespace nkq {
namespace {

class RegistryFileNameStoreTest : public ::testing::Test {
protected:
    void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, WidePath(root).c_str()); }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, WidePath(root).c_str()); }

    bool KeyExists() const {
        HKEY handle = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, WidePath(key).c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
            return false;
        RegCloseKey(handle);
        return true;
    }
    // Writes the value as another program might have.
    void StoreRaw(DWORD type, const void* data, std::size_t size) {
        ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, WidePath(key).c_str(), L"FileName", type, data,
                                  static_cast<DWORD>(size)),
                  ERROR_SUCCESS);
    }
    // The value's type and text as the registry holds them.
    std::wstring Raw(DWORD& type) const {
        wchar_t text[512] = {};
        DWORD size = sizeof text;
        EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, WidePath(key).c_str(), L"FileName", RRF_RT_ANY, &type, text,
                               &size),
                  ERROR_SUCCESS);
        return text;
    }

    template <typename Call>
    std::string FailureOf(Call&& call) {
        try {
            call();
        } catch (const ERegistryException& e) {
            return e.Message();
        }
        return "no failure";
    }

    const std::string root = "Software\\NKQ tests " + std::to_string(GetCurrentProcessId());
    const std::string key = root + "\\Orvenik";
};

TEST_F(RegistryFileNameStoreTest, ANameSavedIsTextLoadedByTheNextStore) {
    for (const std::string name : {"C:\\Прошивки\\nkq 2.14.mfw", "\\\\server\\share\\a.mfw", ""}) {
        SCOPED_TRACE(name);
        RegistryFileNameStore(key).SaveFileName(name);
        EXPECT_EQ(RegistryFileNameStore(key).LoadFileName(), name);
        DWORD type = 0;
        EXPECT_EQ(Raw(type), WidePath(name));
        EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    }
}

TEST_F(RegistryFileNameStoreTest, AMissingValueLoadsAsEmptyAndTheKeyIsMade) {
    ASSERT_FALSE(KeyExists());
    EXPECT_EQ(RegistryFileNameStore(key).LoadFileName(), "");
    EXPECT_TRUE(KeyExists());
}

TEST_F(RegistryFileNameStoreTest, TextOfAnotherProgramIsTakenAsItIs) {
    const std::wstring expandable = L"%USERPROFILE%\\образ.mfw";
    StoreRaw(REG_EXPAND_SZ, expandable.c_str(), (expandable.size() + 1) * sizeof(wchar_t));
    EXPECT_EQ(RegistryFileNameStore(key).LoadFileName(), "%USERPROFILE%\\образ.mfw");
    const std::wstring unterminated = L"D:\\a.mfw";
    StoreRaw(REG_SZ, unterminated.c_str(), unterminated.size() * sizeof(wchar_t));
    EXPECT_EQ(RegistryFileNameStore(key).LoadFileName(), "D:\\a.mfw");
}

TEST_F(RegistryFileNameStoreTest, AValueOfAnotherTypeIsRefused) {
    const std::uint64_t number = 1;
    const wchar_t list[] = L"a.mfw\0b.mfw\0";
    const struct {
        DWORD type;
        const void* data;
        std::size_t size;
    } values[] = {{REG_DWORD, &number, 4},
                  {REG_QWORD, &number, 8},
                  {REG_BINARY, L"a.mfw", 12},
                  {REG_MULTI_SZ, list, sizeof list},
                  {REG_NONE, L"a.mfw", 12}};
    for (const auto& value : values) {
        SCOPED_TRACE(value.type);
        StoreRaw(value.type, value.data, value.size);
        EXPECT_EQ(FailureOf([&] { RegistryFileNameStore(key).LoadFileName(); }),
                  "Invalid data type for 'FileName'");
    }
}

TEST_F(RegistryFileNameStoreTest, AKeyThatCannotBeMadeFailsBothWays) {
    // A lasting key cannot live below one that ends with the session.
    HKEY parent = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, WidePath(root).c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                              KEY_WRITE, nullptr, &parent, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(parent);
    EXPECT_EQ(FailureOf([&] { RegistryFileNameStore(key).LoadFileName(); }),
              "Failed to get data for 'FileName'");
    EXPECT_EQ(FailureOf([&] { RegistryFileNameStore(key).SaveFileName("a.mfw"); }),
              "Failed to set data for 'FileName'");
}

}  // namespace
}  // namespace nkq
