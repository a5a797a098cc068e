// The table a person reads in a terminal.
#include <algorithm>
#include <array>

#include "FieldText.h"
#include "Utf8Text.h"
#include "journal/JournalFormats.h"
#include "journal/JournalTime.h"

namespace nkq::journal {

namespace {

constexpr std::size_t kColumns = TableWriter::kColumns;
using Row = std::array<std::string, kColumns>;

const Row kHeading{"TIME (UTC)", "PORT", "OPERATION", "MODEM", "RESULT", "MESSAGE"};

// One line per operation, and no terminal control sequence out of a modem's
// name or an answer: control characters become blanks.
std::string Cell(std::string_view text) {
    std::string cell(text);
    std::replace_if(
        cell.begin(), cell.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; },
        ' ');
    return cell;
}

Row RowOf(const OperationRecord& record) {
    const std::string modem = ModemText(record.Modem);
    return {Cell(ShownTableTime(record)),
            Cell(record.Port),
            Cell(ShownOperationName(record)),
            modem.empty() ? "-" : Cell(modem),
            Cell(ShownOutcomeName(record)),
            record.Messages.empty() ? "" : Cell(MessageText(record.Messages.front()))};
}

void WriteRow(std::ostream& out, const Row& row, const std::array<std::size_t, kColumns>& widths) {
    std::string line;
    for (std::size_t column = 0; column < kColumns; ++column) {
        line += row[column];
        const std::size_t width = CharacterCount(row[column]);
        if (column + 1 < kColumns)
            line.append((widths[column] > width ? widths[column] - width : 0) + 2, ' ');
    }
    line.erase(line.find_last_not_of(' ') + 1);
    out << line << '\n';
}

}  // namespace

TableWriter::TableWriter() {
    for (std::size_t column = 0; column < kColumns; ++column)
        widths_[column] = CharacterCount(kHeading[column]);
}

void TableWriter::Measure(const OperationRecord& record) {
    const Row row = RowOf(record);
    for (std::size_t column = 0; column < kColumns; ++column)
        widths_[column] = std::max(widths_[column], CharacterCount(row[column]));
}

void TableWriter::Begin(std::ostream& out) { WriteRow(out, kHeading, widths_); }

void TableWriter::Write(std::ostream& out, const OperationRecord& record) {
    WriteRow(out, RowOf(record), widths_);
}

void WriteJournalTable(std::ostream& out, const std::vector<OperationRecord>& records) {
    TableWriter table;
    for (const auto& record : records) table.Measure(record);
    table.Begin(out);
    for (const auto& record : records) table.Write(out, record);
}

}  // namespace nkq::journal
