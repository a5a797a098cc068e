#pragma once
// nkq journal: the work journal read back, newest first.
#include <memory>

#include "Arguments.h"
#include "journal/JournalFile.h"

namespace nkq {
class PortTrace;
}

namespace nkq::cli {

// The filter the command line asks for; UsageError for a date or an
// operation name that cannot be read.
journal::JournalFilter JournalFilterOf(const Arguments& args);

void CheckJournal(const Arguments& args);
int RunJournal(const Arguments& args, const std::shared_ptr<PortTrace>& trace);

}  // namespace nkq::cli
