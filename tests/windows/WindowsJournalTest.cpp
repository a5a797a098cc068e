// Where the journal lives on Windows, read in wide characters: a Cyrillic
// NKQ_JOURNAL or data folder is the folder it names, not question marks of
// the ANSI code page, and the journal is made and read there.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "app/Utf8Path.h"
#include "app/WidePath.h"
#include "journal/JournalFile.h"
#include "journal/JournalLocation.h"

namespace nkq::journal {
namespace {

namespace fs = std::filesystem;

// Sets a variable for the test and gives the old value back afterwards.
class ScopedVariable {
public:
    ScopedVariable(const wchar_t* name, const std::wstring* value) : name_(name) {
        if (const wchar_t* old = _wgetenv(name)) old_ = old;
        _wputenv_s(name, value ? value->c_str() : L"");
    }
    ~ScopedVariable() { _wputenv_s(name_, old_ ? old_->c_str() : L""); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const wchar_t* name_;
    std::optional<std::wstring> old_;
};

class WindowsJournal : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH, temp);
        folder_ = fs::path(temp) / (L"nkq-журнал-" + std::to_wstring(GetCurrentProcessId()));
        fs::create_directories(folder_);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

    fs::path folder_;
};

TEST_F(WindowsJournal, ACyrillicNkqJournalIsTheFileItNames) {
    const fs::path file = folder_ / L"работа" / L"журнал.sqlite3";
    const std::wstring value = file.wstring();
    const ScopedVariable journal(L"NKQ_JOURNAL", &value);
    const auto path = JournalPathFromEnvironment();
    ASSERT_TRUE(path.has_value());
    EXPECT_EQ(path->wstring(), value);

    OperationRecord record;
    record.Port = "COM5";
    record.Messages = {{"Параметры успешно считаны", std::nullopt}};
    AppendToJournal(*path, record);
    EXPECT_TRUE(fs::exists(file));
    const auto records = ReadJournal(file);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].Messages, record.Messages);
}

TEST_F(WindowsJournal, ACyrillicDataFolderHoldsTheJournal) {
    const ScopedVariable journal(L"NKQ_JOURNAL", nullptr);
    const std::wstring data = (folder_ / L"Иван" / L"AppData" / L"Local").wstring();
    const ScopedVariable local(L"LOCALAPPDATA", &data);
    EXPECT_EQ(JournalPathFromEnvironment(), fs::path(data) / L"nkq" / L"journal.sqlite3");
}

// A process started without the variable asks the shell for the folder.
TEST_F(WindowsJournal, WithoutTheVariableTheShellNamesTheDataFolder) {
    const ScopedVariable journal(L"NKQ_JOURNAL", nullptr);
    const ScopedVariable local(L"LOCALAPPDATA", nullptr);
    const auto path = JournalPathFromEnvironment();
    ASSERT_TRUE(path.has_value());
    EXPECT_EQ(path->filename(), L"journal.sqlite3");
    EXPECT_EQ(path->parent_path().filename(), L"nkq");
    EXPECT_TRUE(path->is_absolute()) << Utf8FromPath(*path);
}

}  // namespace
}  // namespace nkq::journal
