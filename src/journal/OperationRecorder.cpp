#include "journal/OperationRecorder.h"

#include <filesystem>

#include "PasswordMask.h"
#include "Utf8Text.h"
#include "app/Cp1251.h"
#include "app/Sha256.h"
#include "app/Utf8Path.h"
#include "journal/WorkJournal.h"
#include "protocol/ParameterKeys.h"
#include "protocol/TextLines.h"

namespace nkq::journal {

namespace {

using modem::kPasswordKey;

// Weeks later the folder it was run from is long forgotten.
std::string AbsolutePath(const std::string& path) {
    std::error_code error;
    const auto absolute = std::filesystem::absolute(PathFromUtf8(path), error);
    return error ? path : Utf8FromPath(absolute.lexically_normal());
}

}  // namespace

OperationRecorder::OperationRecorder(WorkJournal& journal, std::string port, OperationKind operation)
    : journal_(journal), clock_start_(std::chrono::steady_clock::now()) {
    record_.Started = JournalClock::now();
    record_.Program = journal.Program();
    record_.User = journal.User();
    record_.Host = journal.Host();
    record_.Modem = journal.Modems().Identity(port);
    record_.Port = std::move(port);
    record_.Operation = operation;
}

OperationRecorder::~OperationRecorder() { End(Outcome::Failed); }

void OperationRecorder::AddMessage(const std::string& text) {
    std::lock_guard lock(mutex_);
    record_.Messages.push_back({text, std::nullopt});
}

void OperationRecorder::AddQuestion(const std::string& text, bool answer) {
    std::lock_guard lock(mutex_);
    record_.Messages.push_back({text, answer});
}

void OperationRecorder::KeepSecret(const std::string& bytes) {
    if (bytes.empty()) return;
    std::lock_guard lock(mutex_);
    secrets_.push_back(bytes);
}

void OperationRecorder::ModemRead(const std::string& name, const std::string& device,
                                  const std::string& version, const std::string& password) {
    const ModemIdentity modem{Cp1251ToUtf8(name), Cp1251ToUtf8(device), Cp1251ToUtf8(version)};
    std::lock_guard lock(mutex_);
    record_.Modem = modem;
    if (!password.empty()) secrets_.push_back(password);
    journal_.Modems().Remember(record_.Port, modem, password);
}

void OperationRecorder::AddExchange(const std::string& sent, const std::string& answer) {
    std::lock_guard lock(mutex_);
    if (LineKey(sent) != kPasswordKey) {
        record_.Exchanges.push_back({sent, answer});
        return;
    }
    password_sent_ = LineValue(sent);
    if (!password_sent_.empty()) secrets_.push_back(password_sent_);
    record_.Password = PasswordWritten{!password_sent_.empty(),
                                       journal_.Modems().CompareWithPassword(record_.Port, password_sent_)};
    const std::string shown =
        password_sent_.empty() ? sent : std::string(kPasswordKey) + " " + std::string(kPasswordMask);
    record_.Exchanges.push_back({shown, answer});
}

void OperationRecorder::AddDifferingKey(const std::string& key) {
    std::lock_guard lock(mutex_);
    record_.DifferingKeys.push_back(key);
}

void OperationRecorder::SetSettingsFile(const std::string& path) {
    std::lock_guard lock(mutex_);
    record_.SettingsPath = AbsolutePath(path);
}

void OperationRecorder::SetFirmwareImage(const std::string& path, std::string_view bytes,
                                         std::uint32_t blocks) {
    FirmwareDetails firmware{AbsolutePath(path), bytes.size(), blocks, Sha256Hex(bytes), 0};
    std::lock_guard lock(mutex_);
    if (record_.Firmware) firmware.BlocksAcknowledged = record_.Firmware->BlocksAcknowledged;
    record_.Firmware = std::move(firmware);
}

void OperationRecorder::SetBlocksAcknowledged(std::uint32_t blocks) {
    std::lock_guard lock(mutex_);
    if (!record_.Firmware) record_.Firmware.emplace();
    record_.Firmware->BlocksAcknowledged = blocks;
}

OperationRecord OperationRecorder::Finished(Outcome result) const {
    OperationRecord record = record_;
    record.Result = result;
    record.Duration = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                            clock_start_);
    // Operator texts are UTF-8 but may quote modem bytes: mask both forms.
    std::vector<std::string> both_forms = secrets_;
    for (const auto& secret : secrets_) both_forms.push_back(Cp1251ToUtf8(secret));
    for (auto& message : record.Messages)
        message.Text = ValidUtf8(MaskPasswordLines(message.Text, both_forms));
    for (auto& exchange : record.Exchanges) {
        exchange.Sent = Cp1251ToUtf8(MaskPasswordLines(exchange.Sent, secrets_));
        exchange.Answer = Cp1251ToUtf8(MaskPasswordLines(exchange.Answer, secrets_));
    }
    for (auto& key : record.DifferingKeys) key = Cp1251ToUtf8(key);
    record.SettingsPath = ValidUtf8(record.SettingsPath);
    if (record.Firmware) record.Firmware->Path = ValidUtf8(record.Firmware->Path);
    return record;
}

void OperationRecorder::End(Outcome result) noexcept {
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
