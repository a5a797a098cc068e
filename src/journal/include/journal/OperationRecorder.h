#pragma once
// Records one operation while it runs: made when the operation starts, fed
// what happens, ended with the result, and appended to the journal then.
// Texts from the modem or a settings file arrive as the parameter set holds
// them (Windows-1251 bytes) and are stored as UTF-8; operator texts are UTF-8.
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "journal/OperationRecord.h"

namespace nkq::journal {

class WorkJournal;

class OperationRecorder {
public:
    // Starts the clock and takes the modem last read on `port` in this program.
    OperationRecorder(WorkJournal& journal, std::string port, OperationKind operation);
    // Without End the operation is recorded as failed: an exception left it.
    ~OperationRecorder();
    OperationRecorder(const OperationRecorder&) = delete;
    OperationRecorder& operator=(const OperationRecorder&) = delete;

    // What the operator was shown or asked, in order (JournalOperator calls these).
    void AddMessage(const std::string& text);
    void AddQuestion(const std::string& text, bool answer);

    // A password value (modem bytes) that must never be stored: wherever a
    // "PASSWORD value" line with it turns up in a message, a line sent or an
    // answer, its value is masked. The same characters anywhere else are
    // other data and are kept. A PASSWORD line sent is masked by itself.
    void KeepSecret(const std::string& bytes);

    // After a successful read: the modem now known on the port, for this
    // record and every later one in the program. The password is kept
    // secret (KeepSecret).
    void ModemRead(const std::string& name, const std::string& device, const std::string& version,
                   const std::string& password);

    // A write: each line sent and the modem's answer (empty: none). A
    // PASSWORD line is stored without its value, with whether one was set and
    // whether it differs from the modem's as last read.
    void AddExchange(const std::string& sent, const std::string& answer);
    // A verify: a key whose value in the modem differs from the set's.
    void AddDifferingKey(const std::string& key);
    // A settings file load or save (a file system path, kept as UTF-8).
    void SetSettingsFile(const std::string& path);
    // A firmware update: the image as read, and the blocks the modem acknowledged.
    void SetFirmwareImage(const std::string& path, std::string_view bytes, std::uint32_t blocks);
    void SetBlocksAcknowledged(std::uint32_t blocks);

    // Ends the operation and appends its record; later calls do nothing.
    // Never raises: recording must not change how an operation ends.
    void End(Outcome result) noexcept;

private:
    // The record as stored: secrets masked, every text UTF-8.
    OperationRecord Finished(Outcome result) const;

    WorkJournal& journal_;
    std::chrono::steady_clock::time_point clock_start_;
    mutable std::mutex mutex_;
    OperationRecord record_;            // texts as received
    std::vector<std::string> secrets_;  // modem bytes
    std::string password_sent_;         // the value of the PASSWORD line, modem bytes
    bool ended_ = false;
};

}  // namespace nkq::journal
