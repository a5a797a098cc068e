#pragma once
// A journal that cannot be opened, read or written: missing rights, a file
// that is not a journal, a damaged one, or one from a newer workstation.
#include <string>

#include "app/Failure.h"

namespace nkq::journal {

class EJournal : public Exception {
public:
    // `locked`: another connection held the file for longer than the wait.
    explicit EJournal(std::string message, bool locked = false)
        : Exception("EJournal", std::move(message)), locked_(locked) {}

    bool Locked() const { return locked_; }

private:
    bool locked_;
};

}  // namespace nkq::journal
