#pragma once
// How the formats spell the fields that are not plain text already.
#include <string>

#include "journal/OperationRecord.h"

namespace nkq::journal {

// "NAME DEVICE VERSION" without the blanks the modem pads them with; empty
// when unknown.
std::string ModemText(const ModemIdentity& modem);

// A message as it is; a question followed by " [yes]" or " [no]".
std::string MessageText(const OperatorMessage& message);

// "sent → answer"; "sent →" when the modem did not answer.
std::string ExchangeText(const WriteExchange& exchange);

}  // namespace nkq::journal
