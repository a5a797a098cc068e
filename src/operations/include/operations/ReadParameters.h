#pragma once
// Reading the modem's parameters into the parameter set.
#include "operations/ParameterSession.h"

namespace nkq {

// The whole operation behind "Считать параметры": ends with the success
// message, or with the general error message and a silent abort. A port that
// cannot be opened raises its own error untouched; a stop request raises
// EOperationStopped. The port is closed and the cursor restored on every path.
void ReadModemParameters(ParameterSession& session);

// The exchange on an already open port: STOP, pause, GET, apply, START.
// Raises on any failure; once STOP was sent, START is written on every path,
// a time-out included (the port stays open until then).
void ReadParameters(ParameterSession& session);

}  // namespace nkq
