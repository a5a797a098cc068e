#pragma once
// What the parameter-line fuzz targets share: applying a text the way a
// reply or a settings file is applied, and the lines a set writes.
#include <string>
#include <vector>

#include "params/ParameterSet.h"

namespace nkq::fuzz {

// Applies `text` to `set`. The failures a parameter line may raise (a bad
// integer or boolean, a malformed check address) are expected and end the
// text there; any other exception escapes and is a finding.
void ApplyText(ParameterSet& set, const std::string& text);

// Writing a set's lines and applying them to a fresh set must give a set
// that writes the same lines: nothing the window can hold is lost or
// changed on the way through a file or the modem.
void CheckRoundTrip(const ParameterSet& set);

}  // namespace nkq::fuzz
