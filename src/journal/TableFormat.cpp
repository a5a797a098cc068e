// The table a person reads in a terminal.
#include <algorithm>

#include "FieldText.h"
#include "journal/JournalFormats.h"
#include "journal/JournalTime.h"

namespace nkq::journal {

namespace {

const AlignedTable::Row kHeading{"TIME (UTC)", "PORT", "OPERATION", "MODEM", "RESULT", "MESSAGE"};

// One line per operation, and no terminal control sequence out of a modem's
// name or an answer: control characters become blanks.
std::string Cell(std::string_view text) {
    std::string cell(text);
    std::replace_if(
        cell.begin(), cell.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; },
        ' ');
    return cell;
}

AlignedTable::Row RowOf(const OperationRecord& record) {
    const std::string modem = ModemText(record.Modem);
    return {Cell(ShownTableTime(record)),
            Cell(record.Port),
            Cell(ShownOperationName(record)),
            modem.empty() ? "-" : Cell(modem),
            Cell(ShownOutcomeName(record)),
            record.Messages.empty() ? "" : Cell(MessageText(record.Messages.front()))};
}

}  // namespace

TableWriter::TableWriter() : table_(kHeading) {}

void TableWriter::Measure(const OperationRecord& record) { table_.Measure(RowOf(record)); }

void TableWriter::Begin(std::ostream& out) { out << table_.Line(kHeading); }

void TableWriter::Write(std::ostream& out, const OperationRecord& record) {
    out << table_.Line(RowOf(record));
}

void WriteJournalTable(std::ostream& out, const std::vector<OperationRecord>& records) {
    TableWriter table;
    for (const auto& record : records) table.Measure(record);
    table.Begin(out);
    for (const auto& record : records) table.Write(out, record);
}

}  // namespace nkq::journal
