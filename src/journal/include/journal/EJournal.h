#pragma once
// A journal that cannot be opened, read or written: missing rights, a file
// that is not a journal, a damaged one, or one from a newer workstation.
#include <string>

#include "app/Failure.h"

namespace nkq::journal {

class EJournal : public Exception {
public:
    explicit EJournal(std::string message) : Exception("EJournal", std::move(message)) {}
};

}  // namespace nkq::journal
