#pragma once
// Every command of nkq in one table: its name, its arguments, its help and
// what runs it. The parser, the help and main all read this table.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "Arguments.h"

namespace nkq {
class PortTrace;
}

namespace nkq::cli {

struct Command {
    std::string_view name;
    std::string_view synopsis;  // its arguments, as the general help lists them
    std::string_view summary;   // what it does, in a few words
    std::string_view help;      // the text of 'nkq NAME --help'
    // Raises UsageError for a command line that the options alone allow but
    // the command cannot run.
    void (*check)(const Arguments& args);
    // Returns the exit status; `trace`, when not null, records every port's
    // exchange.
    int (*run)(const Arguments& args, const std::shared_ptr<PortTrace>& trace);
};

const std::vector<Command>& Commands();

// Null when there is no such command.
const Command* FindCommand(std::string_view name);

}  // namespace nkq::cli
