// Every field for a script.
#include <cstdio>
#include <string>

#include "journal/JournalFormats.h"
#include "journal/JournalTime.h"

namespace nkq::journal {

namespace {

// The texts are valid UTF-8 already; only quotes, backslashes and control
// characters need escapes.
std::string Quoted(std::string_view text) {
    std::string quoted = "\"";
    for (char c : text) {
        switch (c) {
            case '"':
                quoted += "\\\"";
                break;
            case '\\':
                quoted += "\\\\";
                break;
            case '\n':
                quoted += "\\n";
                break;
            case '\r':
                quoted += "\\r";
                break;
            case '\t':
                quoted += "\\t";
                break;
            case '\b':
                quoted += "\\b";
                break;
            case '\f':
                quoted += "\\f";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char escape[8];
                    std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
                    quoted += escape;
                } else {
                    quoted += c;
                }
        }
    }
    return quoted + '"';
}

const char* Boolean(bool value) { return value ? "true" : "false"; }

template <typename Entries, typename Spell>
std::string Array(const Entries& entries, Spell spell) {
    std::string text = "[";
    for (const auto& entry : entries) text += (text.size() > 1 ? ", " : "") + spell(entry);
    return text + "]";
}

std::string MessageObject(const OperatorMessage& m) {
    return "{\"text\": " + Quoted(m.Text) + ", \"answer\": " + (m.Answer ? Boolean(*m.Answer) : "null") + "}";
}

std::string ExchangeObject(const WriteExchange& e) {
    return "{\"sent\": " + Quoted(e.Sent) + ", \"answer\": " + Quoted(e.Answer) + "}";
}

std::string PasswordObject(const std::optional<PasswordWritten>& p) {
    if (!p) return "null";
    return std::string("{\"set\": ") + Boolean(p->Set) +
           ", \"change\": " + Quoted(PasswordChangeName(p->Change)) + "}";
}

std::string FirmwareObject(const std::optional<FirmwareDetails>& f) {
    if (!f) return "null";
    return "{\"path\": " + Quoted(f->Path) + ", \"size\": " + std::to_string(f->Size) +
           ", \"blocks\": " + std::to_string(f->Blocks) + ", \"sha256\": " + Quoted(f->Sha256) +
           ", \"blocks_acknowledged\": " + std::to_string(f->BlocksAcknowledged) + "}";
}

void WriteObject(std::ostream& out, const OperationRecord& r) {
    out << "{\"id\": " << r.Id << ", \"started\": " << Quoted(FormatJournalTime(r.Started))
        << ", \"duration_ms\": " << r.Duration.count() << ", \"program\": " << Quoted(ProgramName(r.Program))
        << ", \"user\": " << Quoted(r.User) << ", \"host\": " << Quoted(r.Host)
        << ", \"port\": " << Quoted(r.Port) << ", \"operation\": " << Quoted(OperationName(r.Operation))
        << ", \"result\": " << Quoted(OutcomeName(r.Result))
        << ", \"modem\": {\"name\": " << Quoted(r.Modem.Name) << ", \"device\": " << Quoted(r.Modem.Device)
        << ", \"version\": " << Quoted(r.Modem.Version) << "}"
        << ", \"messages\": " << Array(r.Messages, MessageObject)
        << ", \"exchanges\": " << Array(r.Exchanges, ExchangeObject)
        << ", \"password\": " << PasswordObject(r.Password)
        << ", \"differing_keys\": " << Array(r.DifferingKeys, Quoted)
        << ", \"settings_file\": " << (r.SettingsPath.empty() ? "null" : Quoted(r.SettingsPath))
        << ", \"firmware\": " << FirmwareObject(r.Firmware) << "}";
}

}  // namespace

void WriteJournalJson(std::ostream& out, const std::vector<OperationRecord>& records) {
    out << "[";
    for (std::size_t i = 0; i < records.size(); ++i) {
        out << (i == 0 ? "\n  " : ",\n  ");
        WriteObject(out, records[i]);
    }
    out << (records.empty() ? "]\n" : "\n]\n");
}

}  // namespace nkq::journal
