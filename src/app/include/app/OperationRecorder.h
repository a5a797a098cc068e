#pragma once
// What an operation tells the record of itself while it runs, beside what it
// tells the operator: the modem it read, the lines it sent and the answers,
// the files and the firmware image it worked on, and how it ended. The
// operations see only this interface; the work journal implements it.
// Modem and file texts arrive as the parameter set holds them (Windows-1251
// bytes), operator texts as UTF-8. A password reaches a record only where a
// call below names it, and is never kept there.
#include <cstdint>
#include <memory>
#include <string>

namespace nkq {

enum class OperationKind { Read, Write, Verify, Load, Save, Flash, Status };
enum class Outcome { Succeeded, Failed, Stopped };

class OperationRecorder {
public:
    virtual ~OperationRecorder() = default;

    // What the operator was shown or asked, in order.
    virtual void AddMessage(const std::string& text) = 0;
    virtual void AddQuestion(const std::string& text, bool answer) = 0;

    // After a successful read: the modem now known on the port. Its password
    // is only compared with the ones later writes send.
    virtual void ModemRead(const std::string& name, const std::string& device, const std::string& version,
                           const std::string& password) = 0;
    // A write: a line as it may be kept (a password masked) and the modem's
    // answer (empty: none).
    virtual void AddExchange(const std::string& sent, const std::string& answer) = 0;
    // A write sent the password `value`: only whether one was set and whether
    // it differs from the modem's as last read are kept.
    virtual void PasswordSent(const std::string& value) = 0;
    // A verify: a key whose value in the modem differs from the file's.
    virtual void AddDifferingKey(const std::string& key) = 0;
    // A settings file loaded or saved, or the one a write or verify worked from.
    virtual void SetSettingsFile(const std::string& path) = 0;
    // A firmware update: the image as read, with its SHA-256 in hexadecimal,
    // and the blocks the modem acknowledged.
    virtual void SetFirmwareImage(const std::string& path, std::uint64_t size, std::uint32_t blocks,
                                  const std::string& sha256) = 0;
    virtual void SetBlocksAcknowledged(std::uint32_t blocks) = 0;

    // Ends the record; later calls do nothing. Never raises: recording must
    // not change how an operation ends.
    virtual void End(Outcome result) noexcept = 0;
};

// Where a program's records go: one record for each operation.
class OperationLog {
public:
    virtual ~OperationLog() = default;

    // The record of an operation on `port` that starts now.
    virtual std::unique_ptr<OperationRecorder> StartRecord(const std::string& port,
                                                           OperationKind operation) = 0;
};

}  // namespace nkq
