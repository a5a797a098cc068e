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

void WorkJournal::Warn(const char* reason) noexcept {
    if (warned_.exchange(true)) return;
    // stdio rather than a stream: nothing here may throw.
    std::fprintf(stderr, "warning: the work journal is not being kept: %s\n", reason);
    std::fflush(stderr);
}

}  // namespace nkq::journal
