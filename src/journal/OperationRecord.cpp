#include "journal/OperationRecord.h"

#include <array>
#include <utility>

namespace nkq::journal {

namespace {

template <typename Kind, std::size_t Count>
using NameTable = std::array<std::pair<Kind, const char*>, Count>;

constexpr NameTable<ProgramKind, 2> kPrograms{{{ProgramKind::Window, "window"}, {ProgramKind::Nkq, "nkq"}}};

constexpr NameTable<OperationKind, 7> kOperations{{
    {OperationKind::Read, "read"},
    {OperationKind::Write, "write"},
    {OperationKind::Verify, "verify"},
    {OperationKind::Load, "load"},
    {OperationKind::Save, "save"},
    {OperationKind::Flash, "flash"},
    {OperationKind::Status, "status"},
}};

constexpr NameTable<Outcome, 3> kOutcomes{
    {{Outcome::Succeeded, "succeeded"}, {Outcome::Failed, "failed"}, {Outcome::Stopped, "stopped"}}};

constexpr NameTable<PasswordChange, 3> kPasswordChanges{{{PasswordChange::Unknown, "unknown"},
                                                         {PasswordChange::Unchanged, "unchanged"},
                                                         {PasswordChange::Changed, "changed"}}};

template <typename Kind, std::size_t Count>
const char* NameOf(const NameTable<Kind, Count>& table, Kind kind) {
    for (const auto& [entry, name] : table) {
        if (entry == kind) return name;
    }
    return "";
}

template <typename Kind, std::size_t Count>
std::optional<Kind> KindOf(const NameTable<Kind, Count>& table, std::string_view name) {
    for (const auto& [entry, entry_name] : table) {
        if (name == entry_name) return entry;
    }
    return std::nullopt;
}

}  // namespace

const char* ProgramName(ProgramKind program) { return NameOf(kPrograms, program); }
const char* OperationName(OperationKind operation) { return NameOf(kOperations, operation); }
const char* OutcomeName(Outcome result) { return NameOf(kOutcomes, result); }
const char* PasswordChangeName(PasswordChange change) { return NameOf(kPasswordChanges, change); }

namespace {

std::string StoredOr(const std::string& stored, const char* name) { return stored.empty() ? name : stored; }

}  // namespace

std::string ShownProgramName(const OperationRecord& r) {
    return StoredOr(r.Unread.Program, ProgramName(r.Program));
}
std::string ShownOperationName(const OperationRecord& r) {
    return StoredOr(r.Unread.Operation, OperationName(r.Operation));
}
std::string ShownOutcomeName(const OperationRecord& r) {
    return StoredOr(r.Unread.Result, OutcomeName(r.Result));
}
std::string ShownPasswordChangeName(const OperationRecord& r) {
    if (!r.Password) return {};
    return StoredOr(r.Unread.PasswordChange, PasswordChangeName(r.Password->Change));
}

std::optional<ProgramKind> ParseProgramName(std::string_view name) { return KindOf(kPrograms, name); }
std::optional<OperationKind> ParseOperationName(std::string_view name) { return KindOf(kOperations, name); }
std::optional<Outcome> ParseOutcomeName(std::string_view name) { return KindOf(kOutcomes, name); }
std::optional<PasswordChange> ParsePasswordChangeName(std::string_view name) {
    return KindOf(kPasswordChanges, name);
}

}  // namespace nkq::journal
