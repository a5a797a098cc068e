#pragma once
// The journal file itself: one SQLite database that many threads and
// processes append to at once, each operation in one transaction, so a row is
// stored whole or not at all.
#include <cstdint>
#include <filesystem>
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

// Opens (creating the file and its folders as needed), appends the record in
// one transaction and closes; returns the new row's id. Raises EJournal, with
// nothing written, when the file is not a journal, is damaged, is from a newer
// version or cannot be written; std::filesystem::filesystem_error when the
// folder cannot be made.
std::int64_t AppendToJournal(const std::filesystem::path& path, const OperationRecord& record);

// The operations the filter takes, newest first. A journal that does not
// exist yet has none (and is not created). Raises EJournal like the append.
std::vector<OperationRecord> ReadJournal(const std::filesystem::path& path, const JournalFilter& filter = {});

}  // namespace nkq::journal
