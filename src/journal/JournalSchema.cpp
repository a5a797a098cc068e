#include "JournalSchema.h"

#include <string>

#include "SqliteConnection.h"
#include "app/Utf8Path.h"
#include "journal/EJournal.h"

namespace nkq::journal {

namespace {

// Version 1. Lists live in their own tables, one row per entry, kept in order
// by position.
constexpr const char* kSchemaVersion1 = R"sql(
CREATE TABLE operation (
    id INTEGER PRIMARY KEY,
    started TEXT NOT NULL,
    duration_ms INTEGER NOT NULL,
    program TEXT NOT NULL,
    user TEXT NOT NULL,
    host TEXT NOT NULL,
    port TEXT NOT NULL,
    operation TEXT NOT NULL,
    result TEXT NOT NULL,
    modem_name TEXT NOT NULL,
    modem_device TEXT NOT NULL,
    modem_version TEXT NOT NULL,
    settings_path TEXT,
    password_set INTEGER,
    password_change TEXT,
    firmware_path TEXT,
    firmware_size INTEGER,
    firmware_blocks INTEGER,
    firmware_sha256 TEXT,
    firmware_blocks_acknowledged INTEGER
);
CREATE INDEX operation_by_start ON operation (started);
CREATE TABLE message (
    operation_id INTEGER NOT NULL REFERENCES operation (id),
    position INTEGER NOT NULL,
    text TEXT NOT NULL,
    answer INTEGER,
    PRIMARY KEY (operation_id, position)
) WITHOUT ROWID;
CREATE TABLE exchange (
    operation_id INTEGER NOT NULL REFERENCES operation (id),
    position INTEGER NOT NULL,
    sent TEXT NOT NULL,
    answer TEXT NOT NULL,
    PRIMARY KEY (operation_id, position)
) WITHOUT ROWID;
CREATE TABLE differing_key (
    operation_id INTEGER NOT NULL REFERENCES operation (id),
    position INTEGER NOT NULL,
    key TEXT NOT NULL,
    PRIMARY KEY (operation_id, position)
) WITHOUT ROWID;
)sql";

constexpr SchemaStep kSteps[] = {{1, kSchemaVersion1}};

struct FileState {
    std::int64_t application_id;
    std::int64_t version;
    std::int64_t objects;
};

// Reading the header and the schema is the first thing done with a file, so
// junk fails here, before anything is written. One statement, so that a
// journal another writer creates meanwhile is seen whole or not at all.
FileState ReadFileState(SqliteConnection& connection) {
    SqliteStatement query(
        connection,
        "SELECT (SELECT application_id FROM pragma_application_id), "
        "(SELECT user_version FROM pragma_user_version), (SELECT count(*) FROM sqlite_schema)");
    if (!query.Step()) connection.Fail("cannot read");
    return {query.Number(0), query.Number(1), query.Number(2)};
}

// Raises for a file this program must not write to.
void CheckOwnership(const SqliteConnection& connection, const FileState& state, int latest) {
    const bool empty = state.application_id == 0 && state.version == 0 && state.objects == 0;
    if (!empty && state.application_id != kJournalApplicationId) {
        throw EJournal(Utf8FromPath(connection.Path()) + ": not a work journal");
    }
    if (state.version > latest) {
        throw EJournal(Utf8FromPath(connection.Path()) + ": journal version " +
                       std::to_string(state.version) + " is newer than this program's " +
                       std::to_string(latest));
    }
}

void ApplySteps(SqliteConnection& connection, std::span<const SchemaStep> steps, int latest) {
    WriteTransaction transaction(connection);
    // Another writer may have upgraded the file while this one waited.
    const FileState state = ReadFileState(connection);
    CheckOwnership(connection, state, latest);
    if (state.version == latest) return;
    for (const SchemaStep& step : steps) {
        if (step.Version > state.version) connection.Execute(step.Sql);
    }
    const std::string stamp = "PRAGMA application_id = " + std::to_string(kJournalApplicationId) +
                              "; PRAGMA user_version = " + std::to_string(latest);
    connection.Execute(stamp.c_str());
    transaction.Commit();
}

}  // namespace

std::span<const SchemaStep> JournalSchemaSteps() { return kSteps; }

bool JournalReadable(SqliteConnection& connection, std::span<const SchemaStep> steps) {
    const int latest = steps.empty() ? 0 : steps.back().Version;
    const FileState state = ReadFileState(connection);
    CheckOwnership(connection, state, latest);
    if (state.version == 0 && state.objects == 0) return false;
    if (state.version != latest) {
        throw EJournal(Utf8FromPath(connection.Path()) + ": journal version " +
                       std::to_string(state.version) + " is older than this program's " +
                       std::to_string(latest) + "; the next operation recorded brings it up to date");
    }
    return true;
}

void PrepareJournal(SqliteConnection& connection, std::span<const SchemaStep> steps) {
    const int latest = steps.empty() ? 0 : steps.back().Version;
    const FileState state = ReadFileState(connection);
    CheckOwnership(connection, state, latest);
    if (state.version < latest) ApplySteps(connection, steps, latest);
    // Write-ahead logging lets readers and one writer work at once; the mode
    // stays with the file, so it is set once.
    if (connection.QueryText("PRAGMA journal_mode") != "wal" &&
        connection.QueryTextWhenFree("PRAGMA journal_mode = WAL") != "wal") {
        connection.Fail("cannot use write-ahead logging");
    }
}

}  // namespace nkq::journal
