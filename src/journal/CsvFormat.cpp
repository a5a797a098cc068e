// Every field for a spreadsheet.
#include "FieldText.h"
#include "journal/JournalFormats.h"
#include "journal/JournalTime.h"

namespace nkq::journal {

namespace {

using Record = OperationRecord;

template <typename Entries, typename Spell>
std::string Lines(const Entries& entries, Spell spell) {
    std::string text;
    for (const auto& entry : entries) {
        if (!text.empty()) text += '\n';
        text += spell(entry);
    }
    return text;
}

std::string Same(const std::string& text) { return text; }

// Empty for an operation without that detail.
template <typename Value>
std::string Number(bool present, Value value) {
    return present ? std::to_string(value) : std::string();
}

const FirmwareDetails& FirmwareOf(const Record& r) {
    static const FirmwareDetails kNone;
    return r.Firmware ? *r.Firmware : kNone;
}

struct Column {
    const char* name;
    std::string (*text)(const Record&);
};

const Column kColumns[] = {
    {"id", [](const Record& r) { return std::to_string(r.Id); }},
    {"started", [](const Record& r) { return ShownJournalTime(r); }},
    {"duration_ms", [](const Record& r) { return std::to_string(r.Duration.count()); }},
    {"program", [](const Record& r) { return ShownProgramName(r); }},
    {"user", [](const Record& r) { return r.User; }},
    {"host", [](const Record& r) { return r.Host; }},
    {"port", [](const Record& r) { return r.Port; }},
    {"operation", [](const Record& r) { return ShownOperationName(r); }},
    {"result", [](const Record& r) { return ShownOutcomeName(r); }},
    {"modem_name", [](const Record& r) { return r.Modem.Name; }},
    {"modem_device", [](const Record& r) { return r.Modem.Device; }},
    {"modem_version", [](const Record& r) { return r.Modem.Version; }},
    {"messages", [](const Record& r) { return Lines(r.Messages, MessageText); }},
    {"exchanges", [](const Record& r) { return Lines(r.Exchanges, ExchangeText); }},
    {"password_set",
     [](const Record& r) {
         return std::string(!r.Password ? "" : r.Password->Set ? "yes" : "no");
     }},
    {"password_change", [](const Record& r) { return ShownPasswordChangeName(r); }},
    {"differing_keys", [](const Record& r) { return Lines(r.DifferingKeys, Same); }},
    {"settings_file", [](const Record& r) { return r.SettingsPath; }},
    {"firmware_path", [](const Record& r) { return FirmwareOf(r).Path; }},
    {"firmware_size", [](const Record& r) { return Number(r.Firmware.has_value(), FirmwareOf(r).Size); }},
    {"firmware_blocks", [](const Record& r) { return Number(r.Firmware.has_value(), FirmwareOf(r).Blocks); }},
    {"firmware_sha256", [](const Record& r) { return FirmwareOf(r).Sha256; }},
    {"firmware_blocks_acknowledged",
     [](const Record& r) { return Number(r.Firmware.has_value(), FirmwareOf(r).BlocksAcknowledged); }},
};

// A spreadsheet runs a cell that begins with one of these as a formula.
constexpr std::string_view kFormulaStarts = "=+-@";

// Quoted when it holds a quote, a comma or a line break; quotes doubled. A
// cell that would be a formula gets a "'" first, which makes it text.
std::string Field(std::string_view text) {
    std::string cell;
    if (!text.empty() && kFormulaStarts.find(text.front()) != std::string_view::npos) cell = "'";
    cell += text;
    if (cell.find_first_of("\",\r\n") == std::string::npos) return cell;
    std::string quoted = "\"";
    for (char c : cell) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

}  // namespace

void CsvWriter::Begin(std::ostream& out) {
    out << "\xef\xbb\xbf";
    for (const Column& column : kColumns) out << (&column == kColumns ? "" : ",") << column.name;
    out << "\r\n";
}

void CsvWriter::Write(std::ostream& out, const OperationRecord& record) {
    for (const Column& column : kColumns)
        out << (&column == kColumns ? "" : ",") << Field(column.text(record));
    out << "\r\n";
}

void WriteJournalCsv(std::ostream& out, const std::vector<OperationRecord>& records) {
    CsvWriter csv;
    csv.Begin(out);
    for (const auto& record : records) csv.Write(out, record);
}

}  // namespace nkq::journal
