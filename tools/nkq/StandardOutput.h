#pragma once
// Standard output of nkq, written straight to its descriptor so that every
// failure shows at once: a full disk, a reader that went away (SIGPIPE is
// ignored, so that is EPIPE), a descriptor that was closed. A script must
// never take an empty file for a successful read.
#include <string>

#include "app/Failure.h"

namespace nkq::cli {

class EOutputError : public Exception {
public:
    // "Cannot write WHAT: the system's reason".
    EOutputError(const std::string& what, int error_number);

    int ErrorNumber() const { return error_number_; }

private:
    int error_number_;
};

// Writes all of `text`; EOutputError when any of it cannot be written, and
// (EINTR) when a stop request comes while the reader does not take it.
// Safe to call from the threads of several ports.
void WriteStandardOutput(const std::string& text);

// The last check when nkq is done: closing reports an error that a file
// system delays until then. A descriptor that was never open is no error
// when nothing was written to it.
void CloseStandardOutput();

// Run first: a standard descriptor that the caller closed (nkq read >&-) is
// held by /dev/null opened the wrong way round, so writing to it still
// fails, and no port or file opened later can take its number and receive
// what was meant for the terminal.
void HoldClosedStandardDescriptors();

}  // namespace nkq::cli
