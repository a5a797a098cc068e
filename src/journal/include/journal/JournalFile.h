#pragma once
// The journal file itself: one SQLite database that many threads and
// processes append to at once, each operation in one transaction, so a row is
// stored whole or not at all.
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "journal/OperationRecord.h"

namespace nkq::journal {

// Which operations a reading wants; an empty filter takes them all.
struct JournalFilter {
    std::optional<TimePoint> Since;  // started at or after
    std::string Port;                // "ttyS0" also finds "/dev/ttyS0" and the reverse
    std::optional<OperationKind> Operation;
    bool FailedOnly = false;  // result "failed" only
};

// How long an append waits for a journal that another connection holds: a
// batch's appends take turns of a few milliseconds, while a file another
// program keeps locked must not hold up the operation (or a Ctrl+C after it).
inline constexpr std::chrono::milliseconds kLockedJournalWait{1000};

// Opens (creating the file and its folders as needed), appends the record in
// one transaction and closes; returns the new row's id. Raises EJournal, with
// nothing written, when the file is not a journal, is damaged, is from a newer
// version, cannot be written or stays locked past `wait_while_locked`
// (Locked() is then true); std::filesystem::filesystem_error when the folder
// cannot be made.
std::int64_t AppendToJournal(const std::filesystem::path& path, const OperationRecord& record,
                             std::chrono::milliseconds wait_while_locked = kLockedJournalWait);

// Hands `take` each operation the filter takes, newest first, one at a time,
// so that a reading of any length holds one record. The file is opened read
// only, so a user who may read but not write the journal can list it; one
// that does not exist yet has no operations (and is not created). `stop` is
// asked between records and while SQLite works: true ends the reading at
// once, and the result is then false. A name or start time this program
// cannot read (a newer version wrote it) is kept in the record's Unread.
// Raises EJournal for a file that is not a journal, is damaged or cannot be
// read.
bool ForEachInJournal(const std::filesystem::path& path, const JournalFilter& filter,
                      const std::function<void(const OperationRecord&)>& take,
                      const std::function<bool()>& stop = {});

// The same, each operation as one JSON object that SQLite writes: every
// field of the record, its lists in order, names and times as stored.
bool ForEachJsonInJournal(const std::filesystem::path& path, const JournalFilter& filter,
                          const std::function<void(const std::string& object)>& take,
                          const std::function<bool()>& stop = {});

// The operations the filter takes, newest first, all at once.
std::vector<OperationRecord> ReadJournal(const std::filesystem::path& path, const JournalFilter& filter = {});

}  // namespace nkq::journal
