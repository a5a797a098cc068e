// The table a person reads in a terminal.
#include <algorithm>
#include <array>

#include "FieldText.h"
#include "Utf8Text.h"
#include "journal/JournalFormats.h"
#include "journal/JournalTime.h"

namespace nkq::journal {

namespace {

constexpr std::size_t kColumns = 6;
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
    return {FormatTableTime(record.Started),
            Cell(record.Port),
            OperationName(record.Operation),
            modem.empty() ? "-" : Cell(modem),
            OutcomeName(record.Result),
            record.Messages.empty() ? "" : Cell(MessageText(record.Messages.front()))};
}

std::array<std::size_t, kColumns> ColumnWidths(const std::vector<Row>& rows) {
    std::array<std::size_t, kColumns> widths{};
    for (std::size_t column = 0; column < kColumns; ++column) {
        widths[column] = CharacterCount(kHeading[column]);
        for (const auto& row : rows) widths[column] = std::max(widths[column], CharacterCount(row[column]));
    }
    return widths;
}

void WriteRow(std::ostream& out, const Row& row, const std::array<std::size_t, kColumns>& widths) {
    std::string line;
    for (std::size_t column = 0; column < kColumns; ++column) {
        line += row[column];
        if (column + 1 < kColumns) line.append(widths[column] - CharacterCount(row[column]) + 2, ' ');
    }
    line.erase(line.find_last_not_of(' ') + 1);
    out << line << '\n';
}

}  // namespace

void WriteJournalTable(std::ostream& out, const std::vector<OperationRecord>& records) {
    std::vector<Row> rows;
    rows.reserve(records.size());
    for (const auto& record : records) rows.push_back(RowOf(record));
    const auto widths = ColumnWidths(rows);
    WriteRow(out, kHeading, widths);
    for (const auto& row : rows) WriteRow(out, row, widths);
}

}  // namespace nkq::journal
