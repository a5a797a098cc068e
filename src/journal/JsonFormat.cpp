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

std::string PasswordObject(const OperationRecord& r) {
    if (!r.Password) return "null";
    return std::string("{\"set\": ") + Boolean(r.Password->Set) +
           ", \"change\": " + Quoted(ShownPasswordChangeName(r)) + "}";
}

std::string FirmwareObject(const std::optional<FirmwareDetails>& f) {
    if (!f) return "null";
    return "{\"path\": " + Quoted(f->Path) + ", \"size\": " + std::to_string(f->Size) +
           ", \"blocks\": " + std::to_string(f->Blocks) + ", \"sha256\": " + Quoted(f->Sha256) +
           ", \"blocks_acknowledged\": " + std::to_string(f->BlocksAcknowledged) + "}";
}

void WriteObject(std::ostream& out, const OperationRecord& r) {
    out << "{\"id\": " << r.Id << ", \"started\": " << Quoted(ShownJournalTime(r))
        << ", \"duration_ms\": " << r.Duration.count() << ", \"program\": " << Quoted(ShownProgramName(r))
        << ", \"user\": " << Quoted(r.User) << ", \"host\": " << Quoted(r.Host)
        << ", \"port\": " << Quoted(r.Port) << ", \"operation\": " << Quoted(ShownOperationName(r))
        << ", \"result\": " << Quoted(ShownOutcomeName(r))
        << ", \"modem\": {\"name\": " << Quoted(r.Modem.Name) << ", \"device\": " << Quoted(r.Modem.Device)
        << ", \"version\": " << Quoted(r.Modem.Version) << "}"
        << ", \"messages\": " << Array(r.Messages, MessageObject)
        << ", \"exchanges\": " << Array(r.Exchanges, ExchangeObject)
        << ", \"password\": " << PasswordObject(r)
        << ", \"differing_keys\": " << Array(r.DifferingKeys, Quoted)
        << ", \"settings_file\": " << (r.SettingsPath.empty() ? "null" : Quoted(r.SettingsPath))
        << ", \"firmware\": " << FirmwareObject(r.Firmware) << "}";
}

}  // namespace

void JsonWriter::Begin(std::ostream& out) {
    out << "[";
    first_ = true;
}

void JsonWriter::Write(std::ostream& out, const OperationRecord& record) {
    out << (first_ ? "\n  " : ",\n  ");
    first_ = false;
    WriteObject(out, record);
}

void JsonWriter::End(std::ostream& out) { out << (first_ ? "]\n" : "\n]\n"); }

void WriteJournalJson(std::ostream& out, const std::vector<OperationRecord>& records) {
    JsonWriter json;
    json.Begin(out);
    for (const auto& record : records) json.Write(out, record);
    json.End(out);
}

}  // namespace nkq::journal
