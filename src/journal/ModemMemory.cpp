#include "journal/ModemMemory.h"

#include <random>

namespace nkq::journal {

ModemMemory::ModemMemory() {
    // Salted afresh in every process, so the digest is of no use for
    // guessing the password anywhere else.
    std::random_device random;
    for (int i = 0; i < 16; ++i) salt_ += static_cast<char>(random());
}

Sha256::Digest ModemMemory::Digest(const std::string& password) const {
    Sha256 hash;
    hash.Update(salt_);
    hash.Update(password);
    return hash.Finish();
}

void ModemMemory::Remember(const std::string& port, const ModemIdentity& modem, const std::string& password) {
    const Sha256::Digest digest = Digest(password);
    std::lock_guard lock(mutex_);
    ports_[port] = Known{modem, digest};
}

void ModemMemory::RememberPassword(const std::string& port, const std::string& password) {
    const Sha256::Digest digest = Digest(password);
    std::lock_guard lock(mutex_);
    ports_[port].password = digest;
}

ModemIdentity ModemMemory::Identity(const std::string& port) const {
    std::lock_guard lock(mutex_);
    const auto found = ports_.find(port);
    return found == ports_.end() ? ModemIdentity{} : found->second.modem;
}

PasswordChange ModemMemory::CompareWithPassword(const std::string& port, const std::string& password) const {
    const Sha256::Digest digest = Digest(password);
    std::lock_guard lock(mutex_);
    const auto found = ports_.find(port);
    if (found == ports_.end() || !found->second.password) return PasswordChange::Unknown;
    return *found->second.password == digest ? PasswordChange::Unchanged : PasswordChange::Changed;
}

}  // namespace nkq::journal
