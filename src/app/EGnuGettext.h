#pragma once
// Raised by a text lookup when the catalogue file in place cannot be read as
// a message catalogue; a missing catalogue is not a failure.
#include <string>

#include "app/Failure.h"

namespace nkq {

class EGnuGettext : public Exception {
public:
    explicit EGnuGettext(const std::string& path)
        : Exception("EGnuGettext", "This file is not a valid GNU gettext mo file: " + path) {}
};

}  // namespace nkq
