#pragma once
// The journal's tables and how an older journal is brought up to date. The
// file carries its version in PRAGMA user_version and its owner in PRAGMA
// application_id, so a file of another program is never taken for a journal.
#include <cstdint>
#include <span>

namespace nkq::journal {

class SqliteConnection;

// "NKQJ"
inline constexpr std::int32_t kJournalApplicationId = 0x4e4b514a;

// The statements that take a journal from Version - 1 to Version.
struct SchemaStep {
    int Version;
    const char* Sql;
};

// Every step from an empty file to the version this program writes.
std::span<const SchemaStep> JournalSchemaSteps();

// Makes the file a journal of the last step's version: an empty database gets
// the whole schema, an older journal the steps it lacks, all in one
// transaction. Raises EJournal, changing nothing, for a file that is not a
// database or not a journal, or a journal of a newer version. Leaves the
// journal in write-ahead logging.
void PrepareJournal(SqliteConnection& connection, std::span<const SchemaStep> steps);

// The same checks for a reader, which changes nothing: raises EJournal for a
// file that is not a journal, or one of a newer or older version than the
// last step's; false for an empty database, which holds no operations yet.
bool JournalReadable(SqliteConnection& connection, std::span<const SchemaStep> steps);

}  // namespace nkq::journal
