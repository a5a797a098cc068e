#pragma once
// Raised by a text lookup when the catalogue file in place cannot be read as
// a message catalogue; a missing catalogue is not a failure.
#include <string>

#include "app/Failure.h"

namespace nkq {

class EInvalidCatalogue : public Exception {
public:
    explicit EInvalidCatalogue(const std::string& path)
        : Exception("EInvalidCatalogue", "This file is not a valid GNU gettext mo file: " + path) {}
};

}  // namespace nkq
