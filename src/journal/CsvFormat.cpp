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
    {"started", [](const Record& r) { return FormatJournalTime(r.Started); }},
    {"duration_ms", [](const Record& r) { return std::to_string(r.Duration.count()); }},
    {"program", [](const Record& r) { return std::string(ProgramName(r.Program)); }},
    {"user", [](const Record& r) { return r.User; }},
    {"host", [](const Record& r) { return r.Host; }},
    {"port", [](const Record& r) { return r.Port; }},
    {"operation", [](const Record& r) { return std::string(OperationName(r.Operation)); }},
    {"result", [](const Record& r) { return std::string(OutcomeName(r.Result)); }},
    {"modem_name", [](const Record& r) { return r.Modem.Name; }},
    {"modem_device", [](const Record& r) { return r.Modem.Device; }},
    {"modem_version", [](const Record& r) { return r.Modem.Version; }},
    {"messages", [](const Record& r) { return Lines(r.Messages, MessageText); }},
    {"exchanges", [](const Record& r) { return Lines(r.Exchanges, ExchangeText); }},
    {"password_set",
     [](const Record& r) {
         return std::string(!r.Password ? "" : r.Password->Set ? "yes" : "no");
     }},
    {"password_change",
     [](const Record& r) { return std::string(r.Password ? PasswordChangeName(r.Password->Change) : ""); }},
    {"differing_keys", [](const Record& r) { return Lines(r.DifferingKeys, Same); }},
    {"settings_file", [](const Record& r) { return r.SettingsPath; }},
    {"firmware_path", [](const Record& r) { return FirmwareOf(r).Path; }},
    {"firmware_size", [](const Record& r) { return Number(r.Firmware.has_value(), FirmwareOf(r).Size); }},
    {"firmware_blocks", [](const Record& r) { return Number(r.Firmware.has_value(), FirmwareOf(r).Blocks); }},
    {"firmware_sha256", [](const Record& r) { return FirmwareOf(r).Sha256; }},
    {"firmware_blocks_acknowledged",
     [](const Record& r) { return Number(r.Firmware.has_value(), FirmwareOf(r).BlocksAcknowledged); }},
};

// Quoted when it holds a quote, a comma or a line break; quotes doubled.
std::string Field(std::string_view text) {
    if (text.find_first_of("\",\r\n") == std::string_view::npos) return std::string(text);
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

}  // namespace

void WriteJournalCsv(std::ostream& out, const std::vector<OperationRecord>& records) {
    out << "\xef\xbb\xbf";
    for (const Column& column : kColumns) out << (&column == kColumns ? "" : ",") << column.name;
    out << "\r\n";
    for (const auto& record : records) {
        for (const Column& column : kColumns)
            out << (&column == kColumns ? "" : ",") << Field(column.text(record));
        out << "\r\n";
    }
}

}  // namespace nkq::journal
