#pragma once
// The journal's record of one operation: made when the operation starts, fed
// what happens, ended with the result, and appended to the journal then. The
// texts arrive as the record interface says (modem bytes, operator UTF-8,
// passwords already masked) and are stored as UTF-8.
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>

#include "app/OperationRecorder.h"
#include "journal/OperationRecord.h"

namespace nkq::journal {

class WorkJournal;

class JournalRecorder final : public OperationRecorder {
public:
    // Starts the clock and takes the modem last read on `port` in this program.
    JournalRecorder(WorkJournal& journal, std::string port, OperationKind operation);
    // Without End the operation is recorded as failed: an exception left it.
    ~JournalRecorder() override;
    JournalRecorder(const JournalRecorder&) = delete;
    JournalRecorder& operator=(const JournalRecorder&) = delete;

    void AddMessage(const std::string& text) override;
    void AddQuestion(const std::string& text, bool answer) override;
    // The modem is now known on the port, for this record and every later one
    // in the program; of its password only a salted digest is kept, in memory.
    void ModemRead(const std::string& name, const std::string& device, const std::string& version,
                   const std::string& password) override;
    void AddExchange(const std::string& sent, const std::string& answer) override;
    // Whether a password was set and whether it differs from the modem's as
    // last read on the port; once the write succeeded, it is the modem's.
    void PasswordSent(const std::string& value) override;
    void AddDifferingKey(const std::string& key) override;
    // Stored as an absolute path.
    void SetSettingsFile(const std::string& path) override;
    void SetFirmwareImage(const std::string& path, std::uint64_t size, std::uint32_t blocks,
                          const std::string& sha256) override;
    void SetBlocksAcknowledged(std::uint32_t blocks) override;
    void End(Outcome result) noexcept override;

private:
    // The record as stored: every text UTF-8.
    OperationRecord Finished(Outcome result) const;

    WorkJournal& journal_;
    std::chrono::steady_clock::time_point clock_start_;
    mutable std::mutex mutex_;
    OperationRecord record_;     // texts as received
    std::string password_sent_;  // modem bytes; never stored
    bool ended_ = false;
};

}  // namespace nkq::journal
