#pragma once
// The few SQLite calls the journal makes, each failure raised as EJournal with
// the file's path and SQLite's reason, and every handle owned.
#include <sqlite3.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace nkq::journal {

class SqliteConnection {
public:
    // Create: a missing file becomes an empty database; otherwise it must
    // exist. ReadOnly never writes, so a user who may only read it can.
    enum class Opening { Create, Existing, ReadOnly };

    // Long enough for the programs writing the journal to take turns (each
    // turn is a few milliseconds), short enough that a journal another
    // program holds locked costs one short wait.
    static constexpr std::chrono::milliseconds kBusyTimeout{1000};

    SqliteConnection(const std::filesystem::path& path, Opening opening);
    ~SqliteConnection();
    SqliteConnection(const SqliteConnection&) = delete;
    SqliteConnection& operator=(const SqliteConnection&) = delete;

    sqlite3* Handle() const { return db_; }

    // How long a statement waits for a file another connection holds;
    // kBusyTimeout unless set.
    void SetBusyTimeout(std::chrono::milliseconds wait);
    const std::filesystem::path& Path() const { return path_; }

    // Runs statements that return nothing the caller needs.
    void Execute(const char* sql);
    // The first column of the first row of a one-value query.
    std::int64_t QueryNumber(const char* sql);
    std::string QueryText(const char* sql);
    // QueryText for the statements SQLite answers "busy" at once instead of
    // waiting (changing the journal mode): tried again until the busy time-out.
    std::string QueryTextWhenFree(const char* sql);

    // Raises EJournal naming the file, `doing` and SQLite's latest error.
    [[noreturn]] void Fail(std::string_view doing) const;

    // From now on SQLite asks `stop` every few thousand steps of its work;
    // true interrupts the statement, which then raises EJournal.
    void InterruptWhen(const std::function<bool()>& stop);

private:
    void Open(const std::string& name, int flags);
    static int Progress(void* connection);

    std::filesystem::path path_;
    sqlite3* db_ = nullptr;
    std::function<bool()> stop_;
    std::chrono::milliseconds busy_timeout_{kBusyTimeout};
};

class SqliteStatement {
public:
    SqliteStatement(SqliteConnection& connection, const char* sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    // Parameters are numbered from 1; text is copied by SQLite.
    void Bind(int index, std::string_view text);
    void Bind(int index, std::int64_t number);
    void BindNull(int index);
    void BindOptional(int index, const std::optional<std::string>& text);

    // True while a row is there to read; false when done.
    bool Step();
    // Step that returns nullopt, instead of raising, when the file is busy.
    std::optional<bool> StepUnlessBusy();
    // Ready to run again with new parameters.
    void Reset();

    // Columns are numbered from 0.
    bool IsNull(int column) const;
    std::string Text(int column) const;
    std::int64_t Number(int column) const;

private:
    SqliteConnection& connection_;
    sqlite3_stmt* statement_ = nullptr;
};

// BEGIN IMMEDIATE takes the write lock at once, so two writers queue on the
// busy time-out instead of one failing when it upgrades a read. Rolled back
// unless committed.
class WriteTransaction {
public:
    explicit WriteTransaction(SqliteConnection& connection);
    ~WriteTransaction();
    WriteTransaction(const WriteTransaction&) = delete;
    WriteTransaction& operator=(const WriteTransaction&) = delete;

    void Commit();

private:
    SqliteConnection& connection_;
    bool open_ = true;
};

}  // namespace nkq::journal
