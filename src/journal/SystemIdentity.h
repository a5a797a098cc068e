#pragma once
// Who runs the program and on which machine, as the journal names them.
#include <string>

namespace nkq::journal {

// The account's login name; its number when it has none.
std::string CurrentUserName();

std::string CurrentHostName();

}  // namespace nkq::journal
