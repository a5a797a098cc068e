#include "JournalCommand.h"

#include <cerrno>
#include <filesystem>
#include <memory>
#include <sstream>

#include "PortFailures.h"
#include "StandardOutput.h"
#include "StopRequest.h"
#include "TerminalOperator.h"
#include "journal/JournalFile.h"
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

namespace {

// Standard output in pieces of this size: the listing is written as it is
// read, so its memory does not grow with the journal.
constexpr std::size_t kOutputPiece = 64 * 1024;

class ListingOutput {
public:
    std::ostream& Stream() { return text_; }
    // Writes what is gathered once it is a piece, or at the end.
    void Pass(bool all = false) {
        if (!all && static_cast<std::size_t>(text_.tellp()) < kOutputPiece) return;
        WriteStandardOutput(text_.str());
        text_.str({});
    }

private:
    std::ostringstream text_;
};

bool Stop() { return StopRequest::Requested(); }

// SQLite writes each object; false when a stop request ended the listing.
bool WriteJsonListing(const std::filesystem::path& path, const journal::JournalFilter& filter) {
    ListingOutput output;
    journal::JsonArrayWriter json;
    json.Begin(output.Stream());
    const bool whole = journal::ForEachJsonInJournal(
        path, filter,
        [&](const std::string& object) {
            json.Write(output.Stream(), object);
            output.Pass();
        },
        Stop);
    if (!whole) return false;
    json.End(output.Stream());
    output.Pass(true);
    return true;
}

// Writes the listing as it reads it; false when a stop request ended it.
bool WriteListing(const std::filesystem::path& path, const Arguments& args) {
    const journal::JournalFilter filter = JournalFilterOf(args);
    if (args.json) return WriteJsonListing(path, filter);
    const auto stop = Stop;
    std::unique_ptr<journal::JournalWriter> writer;
    if (args.csv) {
        writer = std::make_unique<journal::CsvWriter>();
    } else {
        auto table = std::make_unique<journal::TableWriter>();
        if (!journal::ForEachInJournal(
                path, filter, [&](const journal::OperationRecord& record) { table->Measure(record); }, stop))
            return false;
        writer = std::move(table);
    }
    ListingOutput output;
    writer->Begin(output.Stream());
    const bool whole = journal::ForEachInJournal(
        path, filter,
        [&](const journal::OperationRecord& record) {
            writer->Write(output.Stream(), record);
            output.Pass();
        },
        stop);
    if (!whole) return false;
    writer->End(output.Stream());
    output.Pass(true);
    return true;
}

}  // namespace

int RunJournal(const Arguments& args, const std::shared_ptr<PortTrace>&) {
    TerminalOperator op;
    bool stopped = false;
    const bool shown = RunReportingFailures(op, {}, [&] {
        const auto path = journal::JournalPathFromEnvironment();
        if (!path) {
            op.InformOperator("The work journal is off (NKQ_JOURNAL=off)");
            return false;
        }
        try {
            stopped = !WriteListing(*path, args);
        } catch (const EOutputError& e) {
            // A reader that has seen enough (| head) ends the listing; that is
            // no failure.
            if (e.ErrorNumber() == EPIPE) return true;
            if (!StopRequest::Requested()) throw;
            stopped = true;
        }
        if (stopped) op.InformOperator("The listing was stopped.");
        return !stopped;
    });
    return shown ? 0 : 1;
}

}  // namespace nkq::cli
