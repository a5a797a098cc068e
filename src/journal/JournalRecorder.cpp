#include "journal/JournalRecorder.h"

#include <filesystem>

#include "Utf8Text.h"
#include "app/Cp1251.h"
#include "app/Utf8Path.h"
#include "journal/WorkJournal.h"

namespace nkq::journal {

namespace {

// Weeks later the folder it was run from is long forgotten.
std::string AbsolutePath(const std::string& path) {
    std::error_code error;
    const auto absolute = std::filesystem::absolute(PathFromUtf8(path), error);
    return error ? path : Utf8FromPath(absolute.lexically_normal());
}

}  // namespace

JournalRecorder::JournalRecorder(WorkJournal& journal, std::string port, OperationKind operation)
    : journal_(journal), clock_start_(std::chrono::steady_clock::now()) {
    record_.Started = JournalClock::now();
    record_.Program = journal.Program();
    record_.User = journal.User();
    record_.Host = journal.Host();
    record_.Modem = journal.Modems().Identity(port);
    record_.Port = std::move(port);
    record_.Operation = operation;
}

JournalRecorder::~JournalRecorder() { End(Outcome::Failed); }

void JournalRecorder::AddMessage(const std::string& text) {
    std::lock_guard lock(mutex_);
    record_.Messages.push_back({text, std::nullopt});
}

void JournalRecorder::AddQuestion(const std::string& text, bool answer) {
    std::lock_guard lock(mutex_);
    record_.Messages.push_back({text, answer});
}

void JournalRecorder::ModemRead(const std::string& name, const std::string& device,
                                const std::string& version, const std::string& password) {
    const ModemIdentity modem{Cp1251ToUtf8(name), Cp1251ToUtf8(device), Cp1251ToUtf8(version)};
    std::lock_guard lock(mutex_);
    record_.Modem = modem;
    journal_.Modems().Remember(record_.Port, modem, password);
}

void JournalRecorder::AddExchange(const std::string& sent, const std::string& answer) {
    std::lock_guard lock(mutex_);
    record_.Exchanges.push_back({sent, answer});
}

void JournalRecorder::PasswordSent(const std::string& value) {
    std::lock_guard lock(mutex_);
    password_sent_ = value;
    record_.Password =
        PasswordWritten{!value.empty(), journal_.Modems().CompareWithPassword(record_.Port, value)};
}

void JournalRecorder::AddDifferingKey(const std::string& key) {
    std::lock_guard lock(mutex_);
    record_.DifferingKeys.push_back(key);
}

void JournalRecorder::SetSettingsFile(const std::string& path) {
    std::lock_guard lock(mutex_);
    record_.SettingsPath = AbsolutePath(path);
}

void JournalRecorder::SetFirmwareImage(const std::string& path, std::uint64_t size, std::uint32_t blocks,
                                       const std::string& sha256) {
    FirmwareDetails firmware{AbsolutePath(path), size, blocks, sha256, 0};
    std::lock_guard lock(mutex_);
    if (record_.Firmware) firmware.BlocksAcknowledged = record_.Firmware->BlocksAcknowledged;
    record_.Firmware = std::move(firmware);
}

void JournalRecorder::SetBlocksAcknowledged(std::uint32_t blocks) {
    std::lock_guard lock(mutex_);
    if (!record_.Firmware) record_.Firmware.emplace();
    record_.Firmware->BlocksAcknowledged = blocks;
}

OperationRecord JournalRecorder::Finished(Outcome result) const {
    OperationRecord record = record_;
    record.Result = result;
    record.Duration = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                            clock_start_);
    for (auto& message : record.Messages) message.Text = ValidUtf8(message.Text);
    for (auto& exchange : record.Exchanges) {
        exchange.Sent = Cp1251ToUtf8(exchange.Sent);
        exchange.Answer = Cp1251ToUtf8(exchange.Answer);
    }
    for (auto& key : record.DifferingKeys) key = Cp1251ToUtf8(key);
    record.SettingsPath = ValidUtf8(record.SettingsPath);
    if (record.Firmware) record.Firmware->Path = ValidUtf8(record.Firmware->Path);
    return record;
}

void JournalRecorder::End(Outcome result) noexcept {
    try {
        std::unique_lock lock(mutex_);
        if (ended_) return;
        ended_ = true;
        const OperationRecord record = Finished(result);
        lock.unlock();
        journal_.Append(record);
        if (result == Outcome::Succeeded && record.Password) {
            journal_.Modems().RememberPassword(record.Port, password_sent_);
        }
    } catch (...) {
        // Out of memory while copying texts: the operation's end matters more
        // than its record.
    }
}

}  // namespace nkq::journal
