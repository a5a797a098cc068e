#pragma once
// The journal as one program uses it: where it is (or that it is off), which
// program writes, who and where, and the modems last seen on each port. One
// object per program, made at start-up and shared by all its operations,
// which it gives a record each.
#include <atomic>
#include <chrono>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>

#include "app/OperationRecorder.h"
#include "journal/ModemMemory.h"
#include "journal/OperationRecord.h"

namespace nkq::journal {

class WorkJournal final : public OperationLog {
public:
    // The location from the environment (see JournalLocation.h).
    explicit WorkJournal(ProgramKind program);
    // An explicit location; nullopt records nothing.
    WorkJournal(ProgramKind program, std::optional<std::filesystem::path> path);
    WorkJournal(const WorkJournal&) = delete;
    WorkJournal& operator=(const WorkJournal&) = delete;

    ProgramKind Program() const { return program_; }
    const std::optional<std::filesystem::path>& Path() const { return path_; }
    const std::string& User() const { return user_; }
    const std::string& Host() const { return host_; }
    ModemMemory& Modems() { return modems_; }

    // A JournalRecorder, appended here when it ends.
    std::unique_ptr<OperationRecorder> StartRecord(const std::string& port, OperationKind operation) override;

    // Stores the record; true when it was stored. A journal that cannot take
    // it costs one warning on standard error for the life of this object and
    // nothing else: the operation it records must go on. Safe from any
    // thread: the program's appends take turns, so they never wait on each
    // other in SQLite. A journal another program keeps locked costs one wait
    // of kLockedJournalWait; the appends queued behind that wait then try
    // once without waiting again.
    bool Append(const OperationRecord& record) noexcept;

    // Why the first record that could not be stored was lost; nullopt while
    // every record has been stored. The window tells the technician this
    // once, where nkq leaves it at the warning.
    std::optional<std::string> Failure() const;

private:
    void Warn(const char* reason) noexcept;
    bool TryAppend(const OperationRecord& record);

    ProgramKind program_;
    std::optional<std::filesystem::path> path_;
    std::string user_;
    std::string host_;
    ModemMemory modems_;
    std::atomic<bool> warned_{false};
    mutable std::mutex failure_mutex_;
    std::optional<std::string> failure_;
    std::mutex append_mutex_;
    // When an append last gave up on a locked journal.
    std::optional<std::chrono::steady_clock::time_point> locked_since_;
};

}  // namespace nkq::journal
