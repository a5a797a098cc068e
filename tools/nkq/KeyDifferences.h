#pragma once
// How nkq shows the keys in which a modem differs from what it should hold.
#include <string>
#include <vector>

#include "params/ParameterComparison.h"

namespace nkq::cli {

// A table "KEY  FILE  MODEM", one row per difference, columns aligned. A
// password's values are never shown, only that they differ.
std::string DifferenceTable(const std::vector<KeyDifference>& differences);

// One line for the failure: "2 keys differ: APN, PASSWORD".
std::string DifferenceSummary(const std::vector<KeyDifference>& differences);

}  // namespace nkq::cli
