#pragma once
// Runs one operation with its record: the record started as the operation
// starts, every message and question the operator gets kept on the way, and
// the record ended with how the operation ended. Both front ends run every
// operation through here, so an operation is recorded the same way whichever
// of them runs it, and its outcome is decided in one place.
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "app/ForwardingOperator.h"
#include "app/OperationRecorder.h"

namespace nkq {

// The record an operation feeds while it runs. Everything goes on to the
// log's record, every text with the value of a PASSWORD line masked when the
// value is a password this run knows: the modem's, read; one a write sent;
// one named by KeepSecret. The same characters anywhere else are other data
// and are kept.
class RunRecord final : public OperationRecorder {
public:
    explicit RunRecord(std::unique_ptr<OperationRecorder> record) : record_(std::move(record)) {}

    // A password value (modem bytes) from elsewhere, such as a settings file.
    void KeepSecret(const std::string& value);

    void AddMessage(const std::string& text) override;
    void AddQuestion(const std::string& text, bool answer) override;
    void ModemRead(const std::string& name, const std::string& device, const std::string& version,
                   const std::string& password) override;
    void AddExchange(const std::string& sent, const std::string& answer) override;
    void PasswordSent(const std::string& value) override;
    void AddDifferingKey(const std::string& key) override { record_->AddDifferingKey(key); }
    void SetSettingsFile(const std::string& path) override { record_->SetSettingsFile(path); }
    void SetFirmwareImage(const std::string& path, std::uint64_t size, std::uint32_t blocks,
                          const std::string& sha256) override {
        record_->SetFirmwareImage(path, size, blocks, sha256);
    }
    void SetBlocksAcknowledged(std::uint32_t blocks) override { record_->SetBlocksAcknowledged(blocks); }
    void End(Outcome result) noexcept override { record_->End(result); }

private:
    // Modem bytes, and an operator's UTF-8 text, which may quote them.
    std::string MaskedBytes(const std::string& text) const;
    std::string MaskedText(const std::string& text) const;

    std::unique_ptr<OperationRecorder> record_;
    std::vector<std::string> secrets_;  // modem bytes
};

// An operator that puts every message and question on the record. A message
// is recorded before it is shown: the window's message box returns only when
// closed, and a stop during it must not lose the message.
class MessageRecordingOperator final : public ForwardingOperator {
public:
    MessageRecordingOperator(Operator& shown, OperationRecorder& record)
        : ForwardingOperator(shown), record_(record) {}

    void InformOperator(const std::string& text) override;
    bool AskYesNo(const std::string& text, const std::string& caption) override;

private:
    OperationRecorder& record_;
};

// How a failure that left an operation ends its record: the silent abort as
// failed (the operator has been told already), a stop as stopped, anything
// else as failed; all but the silent abort with their message, worded as the
// error display words it.
Outcome RecordFailure(OperationRecorder& record, const std::exception_ptr& failure);

// `body(Operator&, RunRecord&)` runs the operation with the operator it is
// given and returns its Outcome; a failure it raises is recorded and raised
// again unchanged, for the front end to show.
template <typename Body>
Outcome RunRecorded(OperationLog& log, const std::string& port, OperationKind operation, Operator& shown,
                    Body&& body) {
    RunRecord record(log.StartRecord(port, operation));
    MessageRecordingOperator op(shown, record);
    Outcome outcome = Outcome::Failed;
    try {
        outcome = body(static_cast<Operator&>(op), record);
    } catch (...) {
        record.End(RecordFailure(record, std::current_exception()));
        throw;
    }
    record.End(outcome);
    return outcome;
}

}  // namespace nkq
