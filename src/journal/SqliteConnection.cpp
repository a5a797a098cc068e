#include "SqliteConnection.h"

#include <limits>
#include <thread>

#include "app/Utf8Path.h"
#include "journal/EJournal.h"

namespace nkq::journal {

namespace {

// The file as a URI that tells SQLite nothing else changes it while it is
// open: no lock, no shared-memory file, so nothing needs to be written.
std::string ImmutableUri(const std::filesystem::path& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    const std::u8string text = (error ? path : absolute).generic_u8string();
    std::string uri = "file:";
    if (text.empty() || text.front() != u8'/') uri += '/';  // C:/... on Windows
    for (const char8_t c : text) {
        if (c == u8'%' || c == u8'?' || c == u8'#') {
            static constexpr char kHex[] = "0123456789ABCDEF";
            uri += '%';
            uri += kHex[(c >> 4) & 0xf];
            uri += kHex[c & 0xf];
        } else {
            uri += static_cast<char>(c);
        }
    }
    return uri + "?immutable=1";
}

bool IsReadOnlyRefusal(int status) {
    const int primary = status & 0xff;
    return primary == SQLITE_READONLY || primary == SQLITE_CANTOPEN;
}

}  // namespace

SqliteConnection::SqliteConnection(const std::filesystem::path& path, Opening opening) : path_(path) {
    int flags = SQLITE_OPEN_NOMUTEX;
    flags |= opening == Opening::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
    if (opening == Opening::Create) flags |= SQLITE_OPEN_CREATE;
    Open(Utf8FromPath(path), flags);
    // A journal in write-ahead logging needs its shared-memory file, which a
    // user who may only read the journal cannot make while no writer has it
    // open. The file is then read as it stands; a writer that has not
    // finished is not seen.
    if (opening == Opening::ReadOnly &&
        IsReadOnlyRefusal(
            sqlite3_exec(db_, "SELECT count(*) FROM sqlite_schema", nullptr, nullptr, nullptr))) {
        sqlite3_close(db_);
        db_ = nullptr;
        Open(ImmutableUri(path), flags | SQLITE_OPEN_URI);
    }
}

void SqliteConnection::Open(const std::string& name, int flags) {
    const int status = sqlite3_open_v2(name.c_str(), &db_, flags, nullptr);
    if (status != SQLITE_OK) {
        const std::string reason = db_ != nullptr ? sqlite3_errmsg(db_) : sqlite3_errstr(status);
        sqlite3_close(db_);
        db_ = nullptr;
        throw EJournal(Utf8FromPath(path_) + ": cannot open: " + reason);
    }
    sqlite3_extended_result_codes(db_, 1);
    SetBusyTimeout(busy_timeout_);
}

void SqliteConnection::SetBusyTimeout(std::chrono::milliseconds wait) {
    busy_timeout_ = wait;
    sqlite3_busy_timeout(db_, static_cast<int>(wait.count()));
}

SqliteConnection::~SqliteConnection() { sqlite3_close(db_); }

void SqliteConnection::Execute(const char* sql) {
    if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK) Fail("cannot write");
}

std::int64_t SqliteConnection::QueryNumber(const char* sql) {
    SqliteStatement query(*this, sql);
    return query.Step() ? query.Number(0) : 0;
}

std::string SqliteConnection::QueryText(const char* sql) {
    SqliteStatement query(*this, sql);
    return query.Step() ? query.Text(0) : std::string();
}

std::string SqliteConnection::QueryTextWhenFree(const char* sql) {
    const auto give_up = std::chrono::steady_clock::now() + busy_timeout_;
    while (true) {
        SqliteStatement query(*this, sql);
        const std::optional<bool> row = query.StepUnlessBusy();
        if (row) return *row ? query.Text(0) : std::string();
        if (std::chrono::steady_clock::now() > give_up) Fail("busy");
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

void SqliteConnection::InterruptWhen(const std::function<bool()>& stop) {
    stop_ = stop;
    constexpr int kSteps = 1000;  // well under a millisecond of SQLite's work
    sqlite3_progress_handler(db_, stop_ ? kSteps : 0, stop_ ? &SqliteConnection::Progress : nullptr, this);
}

int SqliteConnection::Progress(void* connection) {
    return static_cast<SqliteConnection*>(connection)->stop_() ? 1 : 0;
}

void SqliteConnection::Fail(std::string_view doing) const {
    const bool locked = (sqlite3_errcode(db_) & 0xff) == SQLITE_BUSY;
    throw EJournal(Utf8FromPath(path_) + ": " + std::string(doing) + ": " + sqlite3_errmsg(db_), locked);
}

SqliteStatement::SqliteStatement(SqliteConnection& connection, const char* sql) : connection_(connection) {
    if (sqlite3_prepare_v2(connection.Handle(), sql, -1, &statement_, nullptr) != SQLITE_OK) {
        connection.Fail("cannot read");
    }
}

SqliteStatement::~SqliteStatement() { sqlite3_finalize(statement_); }

void SqliteStatement::Bind(int index, std::string_view text) {
    if (text.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        connection_.Fail("text too long");
    if (sqlite3_bind_text(statement_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT) !=
        SQLITE_OK) {
        connection_.Fail("cannot write");
    }
}

void SqliteStatement::Bind(int index, std::int64_t number) {
    if (sqlite3_bind_int64(statement_, index, number) != SQLITE_OK) connection_.Fail("cannot write");
}

void SqliteStatement::BindNull(int index) {
    if (sqlite3_bind_null(statement_, index) != SQLITE_OK) connection_.Fail("cannot write");
}

void SqliteStatement::BindOptional(int index, const std::optional<std::string>& text) {
    if (text) {
        Bind(index, *text);
    } else {
        BindNull(index);
    }
}

bool SqliteStatement::Step() {
    const int status = sqlite3_step(statement_);
    if (status == SQLITE_ROW) return true;
    if (status == SQLITE_DONE) return false;
    connection_.Fail("cannot use");
}

std::optional<bool> SqliteStatement::StepUnlessBusy() {
    const int status = sqlite3_step(statement_);
    if ((status & 0xff) == SQLITE_BUSY) return std::nullopt;
    if (status == SQLITE_ROW) return true;
    if (status == SQLITE_DONE) return false;
    connection_.Fail("cannot use");
}

void SqliteStatement::Reset() {
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
}

bool SqliteStatement::IsNull(int column) const {
    return sqlite3_column_type(statement_, column) == SQLITE_NULL;
}

std::string SqliteStatement::Text(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
    if (text == nullptr) return {};
    return std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(statement_, column)));
}

std::int64_t SqliteStatement::Number(int column) const { return sqlite3_column_int64(statement_, column); }

WriteTransaction::WriteTransaction(SqliteConnection& connection) : connection_(connection) {
    connection_.Execute("BEGIN IMMEDIATE");
}

WriteTransaction::~WriteTransaction() {
    if (open_) sqlite3_exec(connection_.Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void WriteTransaction::Commit() {
    connection_.Execute("COMMIT");
    open_ = false;
}

}  // namespace nkq::journal
