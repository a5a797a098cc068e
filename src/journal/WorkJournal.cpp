#include "journal/WorkJournal.h"

#include <cstdio>
#include <exception>

#include "SystemIdentity.h"
#include "journal/JournalFile.h"
#include "journal/JournalLocation.h"

namespace nkq::journal {

WorkJournal::WorkJournal(ProgramKind program) : WorkJournal(program, JournalPathFromEnvironment()) {}

WorkJournal::WorkJournal(ProgramKind program, std::optional<std::filesystem::path> path)
    : program_(program), path_(std::move(path)), user_(CurrentUserName()), host_(CurrentHostName()) {}

bool WorkJournal::Append(const OperationRecord& record) noexcept {
    if (!path_) return false;
    try {
        AppendToJournal(*path_, record);
        return true;
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
