#include "JournalCommand.h"

#include <sstream>

#include "PortFailures.h"
#include "StandardOutput.h"
#include "TerminalOperator.h"
#include "journal/JournalFormats.h"
#include "journal/JournalLocation.h"
#include "journal/JournalTime.h"

namespace nkq::cli {

journal::JournalFilter JournalFilterOf(const Arguments& args) {
    journal::JournalFilter filter;
    if (args.since) {
        filter.Since = journal::ParseJournalTime(*args.since);
        if (!filter.Since)
            throw UsageError{"--since needs a UTC date such as 2026-12-08 or 2026-12-08 10:15"};
    }
    if (args.operation) {
        filter.Operation = journal::ParseOperationName(*args.operation);
        if (!filter.Operation)
            throw UsageError{"--operation takes read, write, verify, load, save, flash or status"};
    }
    if (!args.ports.empty()) filter.Port = args.ports.front();
    filter.FailedOnly = args.failed;
    return filter;
}

void CheckJournal(const Arguments& args) {
    if (args.ports.size() > 1) throw UsageError{"journal takes at most one --port"};
    if (args.csv && args.json) throw UsageError{"journal takes --csv or --json, not both"};
    if (!args.files.empty()) throw UsageError{"journal takes no file argument"};
    JournalFilterOf(args);
}

int RunJournal(const Arguments& args, const std::shared_ptr<PortTrace>&) {
    TerminalOperator op;
    const bool shown = RunReportingFailures(op, {}, [&] {
        const auto path = journal::JournalPathFromEnvironment();
        if (!path) {
            op.ReportFailure("The work journal is off (NKQ_JOURNAL=off)");
            return false;
        }
        const auto records = journal::ReadJournal(*path, JournalFilterOf(args));
        std::ostringstream text;
        if (args.csv) {
            journal::WriteJournalCsv(text, records);
        } else if (args.json) {
            journal::WriteJournalJson(text, records);
        } else {
            journal::WriteJournalTable(text, records);
        }
        WriteStandardOutput(text.str());
        return true;
    });
    return shown ? 0 : 1;
}

}  // namespace nkq::cli
