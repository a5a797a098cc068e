// Reading records back: the filtered operation rows, newest first, each with
// its lists.
#include <filesystem>

#include "JournalSchema.h"
#include "SqliteConnection.h"
#include "app/Utf8Path.h"
#include "journal/EJournal.h"
#include "journal/JournalFile.h"
#include "journal/JournalTime.h"

namespace nkq::journal {

namespace {

constexpr const char* kSelectOperations = R"sql(
SELECT id, started, duration_ms, program, user, host, port, operation, result,
    modem_name, modem_device, modem_version, settings_path, password_set, password_change,
    firmware_path, firmware_size, firmware_blocks, firmware_sha256, firmware_blocks_acknowledged
FROM operation
WHERE (?1 IS NULL OR started >= ?1)
  AND (?2 IS NULL OR port = ?2 OR port = ?3)
  AND (?4 IS NULL OR operation = ?4)
  AND (?5 = 0 OR result = 'failed')
ORDER BY started DESC, id DESC
)sql";

// A port name without a folder means the device of that name, so both forms
// find the same rows.
std::string OtherPortForm(const std::string& port) {
    constexpr std::string_view kDevices = "/dev/";
    if (port.starts_with(kDevices) && port.find('/', kDevices.size()) == std::string::npos) {
        return port.substr(kDevices.size());
    }
    if (port.find('/') == std::string::npos) return std::string(kDevices) + port;
    return port;
}

void BindFilter(SqliteStatement& select, const JournalFilter& filter) {
    if (filter.Since) {
        select.Bind(1, FormatJournalTime(*filter.Since));
    } else {
        select.BindNull(1);
    }
    if (filter.Port.empty()) {
        select.BindNull(2);
        select.BindNull(3);
    } else {
        select.Bind(2, filter.Port);
        select.Bind(3, OtherPortForm(filter.Port));
    }
    if (filter.Operation) {
        select.Bind(4, OperationName(*filter.Operation));
    } else {
        select.BindNull(4);
    }
    select.Bind(5, std::int64_t{filter.FailedOnly ? 1 : 0});
}

// A name the program does not know means the row was not written by it.
template <typename Kind>
Kind Known(const SqliteConnection& connection, std::optional<Kind> kind) {
    if (!kind) throw EJournal(Utf8FromPath(connection.Path()) + ": damaged row in the journal");
    return *kind;
}

std::optional<PasswordWritten> ReadPassword(const SqliteConnection& connection, const SqliteStatement& row) {
    if (row.IsNull(13)) return std::nullopt;
    return PasswordWritten{row.Number(13) != 0, Known(connection, ParsePasswordChangeName(row.Text(14)))};
}

std::optional<FirmwareDetails> ReadFirmware(const SqliteStatement& row) {
    if (row.IsNull(15)) return std::nullopt;
    return FirmwareDetails{row.Text(15), static_cast<std::uint64_t>(row.Number(16)),
                           static_cast<std::uint32_t>(row.Number(17)), row.Text(18),
                           static_cast<std::uint32_t>(row.Number(19))};
}

OperationRecord ReadOperation(const SqliteConnection& connection, const SqliteStatement& row) {
    OperationRecord record;
    record.Id = row.Number(0);
    record.Started = Known(connection, ParseJournalTime(row.Text(1)));
    record.Duration = std::chrono::milliseconds(row.Number(2));
    record.Program = Known(connection, ParseProgramName(row.Text(3)));
    record.User = row.Text(4);
    record.Host = row.Text(5);
    record.Port = row.Text(6);
    record.Operation = Known(connection, ParseOperationName(row.Text(7)));
    record.Result = Known(connection, ParseOutcomeName(row.Text(8)));
    record.Modem = {row.Text(9), row.Text(10), row.Text(11)};
    record.SettingsPath = row.Text(12);
    record.Password = ReadPassword(connection, row);
    record.Firmware = ReadFirmware(row);
    return record;
}

// The statements that fetch one operation's lists, prepared once per reading.
class ListReader {
public:
    explicit ListReader(SqliteConnection& connection)
        : messages_(connection, "SELECT text, answer FROM message WHERE operation_id = ?1 ORDER BY position"),
          exchanges_(connection,
                     "SELECT sent, answer FROM exchange WHERE operation_id = ?1 ORDER BY position"),
          keys_(connection, "SELECT key FROM differing_key WHERE operation_id = ?1 ORDER BY position") {}

    void Fill(OperationRecord& record) {
        for (Rows rows(messages_, record.Id); messages_.Step();) {
            std::optional<bool> answer;
            if (!messages_.IsNull(1)) answer = messages_.Number(1) != 0;
            record.Messages.push_back({messages_.Text(0), answer});
        }
        for (Rows rows(exchanges_, record.Id); exchanges_.Step();) {
            record.Exchanges.push_back({exchanges_.Text(0), exchanges_.Text(1)});
        }
        for (Rows rows(keys_, record.Id); keys_.Step();) record.DifferingKeys.push_back(keys_.Text(0));
    }

private:
    // Binds the operation's id; resets the statement for the next one.
    struct Rows {
        Rows(SqliteStatement& statement, std::int64_t id) : statement(statement) { statement.Bind(1, id); }
        ~Rows() { statement.Reset(); }
        SqliteStatement& statement;
    };

    SqliteStatement messages_;
    SqliteStatement exchanges_;
    SqliteStatement keys_;
};

}  // namespace

std::vector<OperationRecord> ReadJournal(const std::filesystem::path& path, const JournalFilter& filter) {
    if (!std::filesystem::exists(path)) return {};
    SqliteConnection connection(path, SqliteConnection::Opening::Existing);
    PrepareJournal(connection, JournalSchemaSteps());
    // One read transaction, so the rows and their lists agree even while
    // other programs append.
    connection.Execute("BEGIN");
    SqliteStatement select(connection, kSelectOperations);
    BindFilter(select, filter);
    ListReader lists(connection);
    std::vector<OperationRecord> records;
    while (select.Step()) {
        records.push_back(ReadOperation(connection, select));
        lists.Fill(records.back());
    }
    connection.Execute("COMMIT");
    return records;
}

}  // namespace nkq::journal
