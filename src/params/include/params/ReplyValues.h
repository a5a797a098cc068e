#pragma once
// A parameter reply ("KEY value" lines, as "GET" answers) read as values by
// key, for comparing a modem with what it should hold.
#include <map>
#include <string>
#include <vector>

#include "protocol/TextLines.h"

namespace nkq {

// The value of every line by its key (the text before the first blank); a
// key listed twice keeps its last value, as applying the lines would.
std::map<std::string, std::string> ReplyValues(const std::string& reply);

// Whether any line of the reply sets a parameter: a reply of only "OK", or of
// lines no key matches, sets nothing.
bool ReplySetsParameters(const std::string& reply);

}  // namespace nkq
