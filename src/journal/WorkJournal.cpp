#include "journal/WorkJournal.h"

#include <cstdio>
#include <exception>

#include "SystemIdentity.h"
#include "journal/EJournal.h"
#include "journal/JournalFile.h"
#include "journal/JournalLocation.h"
#include "journal/JournalRecorder.h"

namespace nkq::journal {

WorkJournal::WorkJournal(ProgramKind program) : WorkJournal(program, JournalPathFromEnvironment()) {}

WorkJournal::WorkJournal(ProgramKind program, std::optional<std::filesystem::path> path)
    : program_(program), path_(std::move(path)), user_(CurrentUserName()), host_(CurrentHostName()) {}

std::unique_ptr<OperationRecorder> WorkJournal::StartRecord(const std::string& port,
                                                            OperationKind operation) {
    return std::make_unique<JournalRecorder>(*this, port, operation);
}

bool WorkJournal::TryAppend(const OperationRecord& record) {
    std::lock_guard lock(append_mutex_);
    const auto now = std::chrono::steady_clock::now();
    // Behind an append that has just waited in vain, waiting again would make
    // the turns of a batch add up.
    const bool just_locked = locked_since_ && now - *locked_since_ < 2 * kLockedJournalWait;
    try {
        AppendToJournal(*path_, record, just_locked ? std::chrono::milliseconds(0) : kLockedJournalWait);
        locked_since_.reset();
        return true;
    } catch (const EJournal& failure) {
        if (failure.Locked()) locked_since_ = std::chrono::steady_clock::now();
        throw;
    }
}

bool WorkJournal::Append(const OperationRecord& record) noexcept {
    if (!path_) return false;
    try {
        return TryAppend(record);
    } catch (const std::exception& failure) {
        Warn(failure.what());
    } catch (...) {
        Warn("unknown failure");
    }
    return false;
}

std::optional<std::string> WorkJournal::Failure() const {
    std::lock_guard lock(failure_mutex_);
    return failure_;
}

void WorkJournal::Warn(const char* reason) noexcept {
    if (warned_.exchange(true)) return;
    try {
        std::lock_guard lock(failure_mutex_);
        failure_ = reason;
    } catch (...) {
        // Out of memory: the warning below still says why.
    }
    // stdio rather than a stream: nothing here may throw.
    std::fprintf(stderr, "warning: the work journal is not being kept: %s\n", reason);
    std::fflush(stderr);
}

}  // namespace nkq::journal
