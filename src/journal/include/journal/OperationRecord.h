#pragma once
// One operation as the work journal keeps it: what was done to which modem,
// when, by whom and with what result. Every text here is UTF-8; the modem's
// own bytes are converted before they reach a record.
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/OperationRecorder.h"

namespace nkq::journal {

using JournalClock = std::chrono::system_clock;
using TimePoint = JournalClock::time_point;

enum class ProgramKind { Window, Nkq };
using nkq::OperationKind;
using nkq::Outcome;
// Compared with the password of the latest read on the same port.
enum class PasswordChange { Unknown, Unchanged, Changed };

struct ModemIdentity {
    std::string Name;
    std::string Device;
    std::string Version;

    bool Known() const { return !Name.empty() || !Device.empty() || !Version.empty(); }
    bool operator==(const ModemIdentity&) const = default;
};

struct OperatorMessage {
    std::string Text;
    std::optional<bool> Answer;  // set for a yes/no question

    bool operator==(const OperatorMessage&) const = default;
};

// One line a write sent and what the modem answered (empty: no answer).
struct WriteExchange {
    std::string Sent;
    std::string Answer;

    bool operator==(const WriteExchange&) const = default;
};

// What a write keeps of the password it sent: never the value.
struct PasswordWritten {
    bool Set = false;
    PasswordChange Change = PasswordChange::Unknown;

    bool operator==(const PasswordWritten&) const = default;
};

struct FirmwareDetails {
    std::string Path;
    std::uint64_t Size = 0;
    std::uint32_t Blocks = 0;
    std::string Sha256;  // 64 lower-case hexadecimal digits
    std::uint32_t BlocksAcknowledged = 0;

    bool operator==(const FirmwareDetails&) const = default;
};

// What a journal holds that this program cannot read as its own (names and a
// start time that a newer version wrote), kept as stored so that a listing
// shows them as they are; empty where the record's field holds the stored
// value.
struct StoredTexts {
    std::string Program;
    std::string Operation;
    std::string Result;
    std::string PasswordChange;
    std::string Started;

    bool operator==(const StoredTexts&) const = default;
};

struct OperationRecord {
    std::int64_t Id = 0;  // given by the journal when the row is stored
    TimePoint Started;
    std::chrono::milliseconds Duration{0};
    ProgramKind Program = ProgramKind::Nkq;
    std::string User;
    std::string Host;
    std::string Port;
    OperationKind Operation = OperationKind::Read;
    Outcome Result = Outcome::Failed;
    std::vector<OperatorMessage> Messages;  // in the order they were shown
    ModemIdentity Modem;                    // empty when no read on the port preceded

    std::vector<WriteExchange> Exchanges;     // a write
    std::optional<PasswordWritten> Password;  // a write that sent a PASSWORD line
    std::vector<std::string> DifferingKeys;   // a verify
    std::string SettingsPath;                 // a settings file load or save; empty otherwise
    std::optional<FirmwareDetails> Firmware;  // a firmware update

    StoredTexts Unread;  // only from a journal a newer version wrote

    bool operator==(const OperationRecord&) const = default;
};

// The names the journal stores and shows: "window", "read", "succeeded",
// "changed" and so on.
const char* ProgramName(ProgramKind program);
const char* OperationName(OperationKind operation);
const char* OutcomeName(Outcome result);
const char* PasswordChangeName(PasswordChange change);

// The same for a record read back, where a name this program does not know
// is shown as stored.
std::string ShownProgramName(const OperationRecord& record);
std::string ShownOperationName(const OperationRecord& record);
std::string ShownOutcomeName(const OperationRecord& record);
// Empty for a record without a password written.
std::string ShownPasswordChangeName(const OperationRecord& record);

// The reverse; nullopt for a name that is none of them.
std::optional<ProgramKind> ParseProgramName(std::string_view name);
std::optional<OperationKind> ParseOperationName(std::string_view name);
std::optional<Outcome> ParseOutcomeName(std::string_view name);
std::optional<PasswordChange> ParsePasswordChangeName(std::string_view name);

}  // namespace nkq::journal
