// Storing one record: its row and the rows of its lists, in one transaction.
#include <filesystem>

#include "JournalSchema.h"
#include "SqliteConnection.h"
#include "Utf8Text.h"
#include "journal/JournalFile.h"
#include "journal/JournalTime.h"

namespace nkq::journal {

namespace {

// Whatever the caller passed, the file holds valid UTF-8 only.
void BindText(SqliteStatement& statement, int index, std::string_view text) {
    statement.Bind(index, ValidUtf8(text));
}

constexpr const char* kInsertOperation = R"sql(
INSERT INTO operation (started, duration_ms, program, user, host, port, operation, result,
    modem_name, modem_device, modem_version, settings_path, password_set, password_change,
    firmware_path, firmware_size, firmware_blocks, firmware_sha256, firmware_blocks_acknowledged)
VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, ?17, ?18, ?19)
)sql";

void BindPassword(SqliteStatement& insert, const std::optional<PasswordWritten>& password) {
    if (!password) {
        insert.BindNull(13);
        insert.BindNull(14);
        return;
    }
    insert.Bind(13, std::int64_t{password->Set ? 1 : 0});
    insert.Bind(14, PasswordChangeName(password->Change));
}

void BindFirmware(SqliteStatement& insert, const std::optional<FirmwareDetails>& firmware) {
    if (!firmware) {
        for (int index = 15; index <= 19; ++index) insert.BindNull(index);
        return;
    }
    BindText(insert, 15, firmware->Path);
    insert.Bind(16, static_cast<std::int64_t>(firmware->Size));
    insert.Bind(17, std::int64_t{firmware->Blocks});
    BindText(insert, 18, firmware->Sha256);
    insert.Bind(19, std::int64_t{firmware->BlocksAcknowledged});
}

std::int64_t InsertOperation(SqliteConnection& connection, const OperationRecord& record) {
    SqliteStatement insert(connection, kInsertOperation);
    insert.Bind(1, FormatJournalTime(record.Started));
    insert.Bind(2, static_cast<std::int64_t>(record.Duration.count()));
    insert.Bind(3, ProgramName(record.Program));
    BindText(insert, 4, record.User);
    BindText(insert, 5, record.Host);
    BindText(insert, 6, record.Port);
    insert.Bind(7, OperationName(record.Operation));
    insert.Bind(8, OutcomeName(record.Result));
    BindText(insert, 9, record.Modem.Name);
    BindText(insert, 10, record.Modem.Device);
    BindText(insert, 11, record.Modem.Version);
    if (record.SettingsPath.empty()) {
        insert.BindNull(12);
    } else {
        BindText(insert, 12, record.SettingsPath);
    }
    BindPassword(insert, record.Password);
    BindFirmware(insert, record.Firmware);
    insert.Step();
    return sqlite3_last_insert_rowid(connection.Handle());
}

void InsertMessages(SqliteConnection& connection, std::int64_t id,
                    const std::vector<OperatorMessage>& messages) {
    SqliteStatement insert(connection, "INSERT INTO message VALUES (?1, ?2, ?3, ?4)");
    for (std::size_t position = 0; position < messages.size(); ++position) {
        insert.Bind(1, id);
        insert.Bind(2, static_cast<std::int64_t>(position));
        BindText(insert, 3, messages[position].Text);
        if (messages[position].Answer) {
            insert.Bind(4, std::int64_t{*messages[position].Answer ? 1 : 0});
        } else {
            insert.BindNull(4);
        }
        insert.Step();
        insert.Reset();
    }
}

void InsertExchanges(SqliteConnection& connection, std::int64_t id,
                     const std::vector<WriteExchange>& exchanges) {
    SqliteStatement insert(connection, "INSERT INTO exchange VALUES (?1, ?2, ?3, ?4)");
    for (std::size_t position = 0; position < exchanges.size(); ++position) {
        insert.Bind(1, id);
        insert.Bind(2, static_cast<std::int64_t>(position));
        BindText(insert, 3, exchanges[position].Sent);
        BindText(insert, 4, exchanges[position].Answer);
        insert.Step();
        insert.Reset();
    }
}

void InsertKeys(SqliteConnection& connection, std::int64_t id, const std::vector<std::string>& keys) {
    SqliteStatement insert(connection, "INSERT INTO differing_key VALUES (?1, ?2, ?3)");
    for (std::size_t position = 0; position < keys.size(); ++position) {
        insert.Bind(1, id);
        insert.Bind(2, static_cast<std::int64_t>(position));
        BindText(insert, 3, keys[position]);
        insert.Step();
        insert.Reset();
    }
}

}  // namespace

std::int64_t AppendToJournal(const std::filesystem::path& path, const OperationRecord& record,
                             std::chrono::milliseconds wait_while_locked) {
    if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path());
    SqliteConnection connection(path, SqliteConnection::Opening::Create);
    connection.SetBusyTimeout(wait_while_locked);
    PrepareJournal(connection, JournalSchemaSteps());
    WriteTransaction transaction(connection);
    const std::int64_t id = InsertOperation(connection, record);
    InsertMessages(connection, id, record.Messages);
    InsertExchanges(connection, id, record.Exchanges);
    InsertKeys(connection, id, record.DifferingKeys);
    transaction.Commit();
    return id;
}

}  // namespace nkq::journal
