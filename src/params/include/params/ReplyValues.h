#pragma once
// A parameter reply ("KEY value" lines, as "GET" answers) read as values by
// key, the way a read applies it, for comparing a modem with what it should
// hold and for telling whether it reported everything a write sends.
#include <map>
#include <set>
#include <string>
#include <vector>

#include "params/ParameterSet.h"
#include "protocol/TextLines.h"

namespace nkq {

// The value of every line by the key it sets (KeyOfLine: "APNX evil" gives
// APN "evil"); a key set twice keeps its last value, as applying the lines
// would. Lines that set nothing are left out.
std::map<std::string, std::string> ReplyValues(const std::string& reply);

// The keys the reply's lines set.
std::set<std::string> ReportedKeys(const std::string& reply);

// Whether any line of the reply sets a parameter: a reply of only "OK", or of
// lines no key matches, sets nothing.
bool ReplySetsParameters(const std::string& reply);

// The keys a write in `mode` sends that no line of the reply sets and that
// are not in `named`, in the order the write sends them.
std::vector<std::string> KeysNotReported(Mode mode, const std::string& reply,
                                         const std::set<std::string>& named = {});

}  // namespace nkq
