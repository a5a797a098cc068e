#pragma once
// The command line of nkq, parsed into plain data.
#include <optional>
#include <string>
#include <vector>

namespace nkq::cli {

struct Arguments {
    std::string command;                    // a name from the command table
    std::vector<std::string> ports;         // --port, in the order given; several run at once
    std::optional<std::string> output;      // read: --output FILE
    std::optional<std::string> output_dir;  // read: --output-dir DIR, a file per port
    std::optional<std::string> trace;       // --trace FILE before the command
    std::vector<std::string> files;         // positional arguments
    bool yes = false;                       // flash: --yes, no question asked
    bool watch = false;                     // status: --watch, poll until Ctrl+C
    bool partial = false;                   // read: --partial, save only the keys the modem reported
    bool merge = false;                     // write: --merge, read the modem first
    bool verify = false;                    // write: --verify, read the modem back
    bool quick = false;                     // --quick or NKQ_QUICK=1: replies end at their "OK" line
    std::optional<std::string> since;       // journal: --since DATE
    std::optional<std::string> operation;   // journal: --operation NAME
    bool failed = false;                    // journal: --failed
    bool csv = false;                       // journal: --csv
    bool json = false;                      // journal: --json
    bool help = false;
};

// Thrown for a command line that cannot be run; the text says why.
struct UsageError {
    std::string text;
};

Arguments ParseArguments(const std::vector<std::string>& args);

// The help text for one command, or for nkq as a whole when `command` is empty.
std::string HelpText(const std::string& command);

}  // namespace nkq::cli
