#pragma once
// Reading a fixed-size acknowledgement ("READY" + CR, "OK" + CR, the RS485
// notice). The port's read returns at once with whatever is waiting, so an
// answer whose bytes come a few milliseconds apart (a modem that sends them
// one by one, a USB adapter that splits a short answer over two transfers)
// would be judged on its first piece. The bytes are collected instead until
// the answer's line end or its full count has come, or the read time-out of
// the port (counted from the start) has passed; then the caller judges them
// as before.
#include <cstddef>
#include <string>

namespace nkq {

class TCustomComPort;

// At most `count` bytes, ending with the first piece that holds a CR or LF.
// Returns what came; fewer than `count` bytes without a line end means the
// time-out passed.
std::string ReadAcknowledgement(TCustomComPort& port, std::size_t count);

}  // namespace nkq
