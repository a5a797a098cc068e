// Reading records back: the filtered operation rows, newest first, each with
// its lists, as records or as the JSON objects SQLite makes of them.
#include <filesystem>

#include "JournalSchema.h"
#include "SqliteConnection.h"
#include "app/Utf8Path.h"
#include "journal/EJournal.h"
#include "journal/JournalFile.h"
#include "journal/JournalTime.h"
#include "serial/PortNames.h"

namespace nkq::journal {

namespace {

// The filter and order every reading shares.
constexpr const char* kSelectedOperations = R"sql(
FROM operation
WHERE (?1 IS NULL OR started >= ?1)
  AND (?2 IS NULL OR port = ?2 OR port = ?3)
  AND (?4 IS NULL OR operation = ?4)
  AND (?5 = 0 OR result = 'failed')
ORDER BY started DESC, id DESC
)sql";

constexpr const char* kOperationColumns = R"sql(
SELECT id, started, duration_ms, program, user, host, port, operation, result,
    modem_name, modem_device, modem_version, settings_path, password_set, password_change,
    firmware_path, firmware_size, firmware_blocks, firmware_sha256, firmware_blocks_acknowledged
)sql";

// One object per operation, its lists in order. A value made by a JSON
// function loses its JSON kind when it passes through a subquery or CASE;
// json() gives it back, so it is nested rather than quoted.
constexpr const char* kOperationObject = R"sql(
SELECT json_object(
    'id', id, 'started', started, 'duration_ms', duration_ms, 'program', program, 'user', user,
    'host', host, 'port', port, 'operation', operation, 'result', result,
    'modem', json_object('name', modem_name, 'device', modem_device, 'version', modem_version),
    'messages', json((SELECT json_group_array(json_object('text', text, 'answer',
            json(CASE answer WHEN 1 THEN 'true' WHEN 0 THEN 'false' END)))
        FROM (SELECT text, answer FROM message WHERE operation_id = operation.id ORDER BY position))),
    'exchanges', json((SELECT json_group_array(json_object('sent', sent, 'answer', answer))
        FROM (SELECT sent, answer FROM exchange WHERE operation_id = operation.id ORDER BY position))),
    'password', json(CASE WHEN password_set IS NOT NULL THEN json_object(
        'set', json(CASE password_set WHEN 0 THEN 'false' ELSE 'true' END), 'change', password_change) END),
    'differing_keys', json((SELECT json_group_array(key)
        FROM (SELECT key FROM differing_key WHERE operation_id = operation.id ORDER BY position))),
    'settings_file', settings_path,
    'firmware', json(CASE WHEN firmware_path IS NOT NULL THEN json_object(
        'path', firmware_path, 'size', firmware_size, 'blocks', firmware_blocks,
        'sha256', firmware_sha256, 'blocks_acknowledged', firmware_blocks_acknowledged) END))
)sql";

// A port name without a folder means the device of that name, so both forms
// find the same rows.
std::string OtherPortForm(const std::string& port) {
    const std::string device = DevicePathForPort(port);
    return device != port ? device : PortForDevicePath(port);
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

// A name or time this program cannot read was written by a newer version: the
// record keeps its field's default and the stored text, which a listing shows.
template <typename Kind>
Kind KnownOr(std::optional<Kind> kind, const std::string& stored, std::string& unread) {
    if (kind) return *kind;
    unread = stored.empty() ? "?" : stored;
    return Kind{};
}

std::optional<PasswordWritten> ReadPassword(const SqliteStatement& row, StoredTexts& unread) {
    if (row.IsNull(13)) return std::nullopt;
    const std::string change = row.Text(14);
    return PasswordWritten{row.Number(13) != 0,
                           KnownOr(ParsePasswordChangeName(change), change, unread.PasswordChange)};
}

std::optional<FirmwareDetails> ReadFirmware(const SqliteStatement& row) {
    if (row.IsNull(15)) return std::nullopt;
    return FirmwareDetails{row.Text(15), static_cast<std::uint64_t>(row.Number(16)),
                           static_cast<std::uint32_t>(row.Number(17)), row.Text(18),
                           static_cast<std::uint32_t>(row.Number(19))};
}

OperationRecord ReadOperation(const SqliteStatement& row) {
    OperationRecord record;
    StoredTexts& unread = record.Unread;
    record.Id = row.Number(0);
    const std::string started = row.Text(1);
    record.Started = KnownOr(ParseJournalTime(started), started, unread.Started);
    record.Duration = std::chrono::milliseconds(row.Number(2));
    const std::string program = row.Text(3), operation = row.Text(7), result = row.Text(8);
    record.Program = KnownOr(ParseProgramName(program), program, unread.Program);
    record.User = row.Text(4);
    record.Host = row.Text(5);
    record.Port = row.Text(6);
    record.Operation = KnownOr(ParseOperationName(operation), operation, unread.Operation);
    record.Result = KnownOr(ParseOutcomeName(result), result, unread.Result);
    record.Modem = {row.Text(9), row.Text(10), row.Text(11)};
    record.SettingsPath = row.Text(12);
    record.Password = ReadPassword(row, unread);
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

// Hands `take` the rows of `columns` for the operations the filter takes, with the
// connection; false when a stop request ended the reading.
template <typename Take>
bool ForEachRow(const std::filesystem::path& path, const JournalFilter& filter, const char* columns,
                const std::function<bool()>& stop, Take&& take) {
    const auto stopped = [&] { return stop && stop(); };
    if (!std::filesystem::exists(path)) return true;
    SqliteConnection connection(path, SqliteConnection::Opening::ReadOnly);
    connection.InterruptWhen(stop);
    try {
        if (!JournalReadable(connection, JournalSchemaSteps())) return true;
        // One read transaction, so the rows and their lists agree even while
        // other programs append.
        connection.Execute("BEGIN");
        const std::string sql = std::string(columns) + kSelectedOperations;
        SqliteStatement select(connection, sql.c_str());
        BindFilter(select, filter);
        take(connection, select, stopped);
        connection.Execute("COMMIT");
    } catch (const EJournal&) {
        if (stopped()) return false;  // SQLite was interrupted
        throw;
    }
    return !stopped();
}

}  // namespace

bool ForEachInJournal(const std::filesystem::path& path, const JournalFilter& filter,
                      const std::function<void(const OperationRecord&)>& take,
                      const std::function<bool()>& stop) {
    return ForEachRow(path, filter, kOperationColumns, stop,
                      [&](SqliteConnection& connection, SqliteStatement& select, const auto& stopped) {
                          ListReader lists(connection);
                          while (!stopped() && select.Step()) {
                              OperationRecord record = ReadOperation(select);
                              lists.Fill(record);
                              take(record);
                          }
                      });
}

bool ForEachJsonInJournal(const std::filesystem::path& path, const JournalFilter& filter,
                          const std::function<void(const std::string& object)>& take,
                          const std::function<bool()>& stop) {
    return ForEachRow(path, filter, kOperationObject, stop,
                      [&](SqliteConnection&, SqliteStatement& select, const auto& stopped) {
                          while (!stopped() && select.Step()) take(select.Text(0));
                      });
}

std::vector<OperationRecord> ReadJournal(const std::filesystem::path& path, const JournalFilter& filter) {
    std::vector<OperationRecord> records;
    ForEachInJournal(path, filter, [&](const OperationRecord& record) { records.push_back(record); });
    return records;
}

}  // namespace nkq::journal
