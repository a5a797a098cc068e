#pragma once
// What this program last learnt of the modem on each port, so that every
// later operation there can name the modem it worked on. nkq runs ports on
// threads, hence the lock. The password is held only as a salted digest, for
// telling whether a write changes it; it never leaves the process.
#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "app/Sha256.h"
#include "journal/OperationRecord.h"

namespace nkq::journal {

class ModemMemory {
public:
    ModemMemory();

    // After a successful read on `port`; texts are UTF-8.
    void Remember(const std::string& port, const ModemIdentity& modem, const std::string& password);
    // After a successful write: the modem's password is now the one written.
    void RememberPassword(const std::string& port, const std::string& password);

    // Empty when nothing was read on the port yet.
    ModemIdentity Identity(const std::string& port) const;
    // Unknown when no password was ever learnt on the port.
    PasswordChange CompareWithPassword(const std::string& port, const std::string& password) const;

private:
    struct Known {
        ModemIdentity modem;
        std::optional<Sha256::Digest> password;
    };

    Sha256::Digest Digest(const std::string& password) const;

    mutable std::mutex mutex_;
    std::map<std::string, Known> ports_;
    std::string salt_;
};

}  // namespace nkq::journal
