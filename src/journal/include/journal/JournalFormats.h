#pragma once
// The three ways `nkq journal` shows records: a table for a person, CSV for a
// spreadsheet and JSON for a script. The last two carry every field.
#include <ostream>
#include <vector>

#include "journal/OperationRecord.h"

namespace nkq::journal {

// One line per operation: time (UTC), port, operation, modem, result and the
// first message, in aligned columns under a heading line.
void WriteJournalTable(std::ostream& out, const std::vector<OperationRecord>& records);

// RFC 4180: a heading row, CR LF between rows, fields quoted where needed;
// UTF-8 with a byte order mark, which spreadsheets take as the encoding. A
// list field holds one entry per line.
void WriteJournalCsv(std::ostream& out, const std::vector<OperationRecord>& records);

// An array with one object per operation, one per line.
void WriteJournalJson(std::ostream& out, const std::vector<OperationRecord>& records);

}  // namespace nkq::journal
