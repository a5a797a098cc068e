#include "Arguments.h"

#include <algorithm>

#include "CommandTable.h"

namespace nkq::cli {

namespace {

constexpr std::string_view kGeneralHelpHead =
    "Usage: nkq [--trace FILE] COMMAND [OPTIONS]\n"
    "Sets up Morvasta NKQ modems over a serial line.\n"
    "\n"
    "Commands:\n";

constexpr std::string_view kGeneralHelpTail =
    "\n"
    "PORT is a port name (ttyUSB0), a device path (/dev/pts/3) or a port on a serial\n"
    "device server: rfc2217://HOST:PORT (telnet with serial port control, RFC 2217)\n"
    "or socket://HOST:PORT (the bytes as they are); HOST is a name, an IPv4 or an\n"
    "[IPv6] address. read, verify, write and flash take --port more than once to\n"
    "work on several modems at the same time (read then needs --output-dir DIR);\n"
    "each port's messages are prefixed with \"PORT: \" and a table of the ports'\n"
    "results ends the run on standard output.\n"
    "\n"
    "  --trace FILE    record every byte sent to and received from the ports in FILE\n"
    "                  (appended): one line per read or write with the seconds since\n"
    "                  the start, the port, -> sent or <- received, the byte count,\n"
    "                  the bytes in hex and as text; a read that got nothing is a\n"
    "                  line \"<- 0 (nothing arrived)\"; opens and closes are noted.\n"
    "                  The window does the same when NKQ_TRACE=FILE is set.\n"
    "\n"
    "Ctrl+C, SIGTERM and SIGHUP stop every port cleanly: the step in flight (a line\n"
    "and its answer, a packet and its answer, a poll) finishes, nothing more is sent\n"
    "but START, the port is closed and the stop is told on standard error (exit\n"
    "status 1). A second signal ends nkq at once.\n"
    "\n"
    "Messages go to standard error; text from a modem is shown with its control\n"
    "characters made visible (^[ for ESC). Standard output, --output and --trace\n"
    "are checked to the last byte: a full disk or a closed pipe is a failure.\n"
    "Exit status: 0 success (on every port), 1 the operation failed (on at least one\n"
    "port), 2 the command line is wrong.\n"
    "When a port cannot be opened for lack of permission or because another program\n"
    "holds it, a line starting \"Hint:\" follows the port's message.\n"
    "Run 'nkq COMMAND --help' for the options of one command.\n";

// Where an option may stand: before the command, after it, or both.
enum class Place { Global, Command, Both };

struct Option {
    std::string_view name;
    bool takes_value;
    Place place;
    std::string_view commands;  // after the command: the commands that take it, blank-separated; empty: all
    void (*apply)(Arguments& args, const std::string& value);
};

const std::vector<Option>& Options() {
    static const std::vector<Option> options{
        {"--help", false, Place::Both, "", [](Arguments& a, const std::string&) { a.help = true; }},
        {"-h", false, Place::Both, "", [](Arguments& a, const std::string&) { a.help = true; }},
        {"--trace", true, Place::Global, "", [](Arguments& a, const std::string& v) { a.trace = v; }},
        {"--quick", false, Place::Both, "read verify write status",
         [](Arguments& a, const std::string&) { a.quick = true; }},
        {"--port", true, Place::Command, "read verify write flash status journal",
         [](Arguments& a, const std::string& v) { a.ports.push_back(v); }},
        {"--output", true, Place::Command, "read", [](Arguments& a, const std::string& v) { a.output = v; }},
        {"--output-dir", true, Place::Command, "read",
         [](Arguments& a, const std::string& v) { a.output_dir = v; }},
        {"--partial", false, Place::Command, "read",
         [](Arguments& a, const std::string&) { a.partial = true; }},
        {"--yes", false, Place::Command, "flash", [](Arguments& a, const std::string&) { a.yes = true; }},
        {"--watch", false, Place::Command, "status",
         [](Arguments& a, const std::string&) { a.watch = true; }},
        {"--merge", false, Place::Command, "write", [](Arguments& a, const std::string&) { a.merge = true; }},
        {"--verify", false, Place::Command, "write",
         [](Arguments& a, const std::string&) { a.verify = true; }},
        {"--since", true, Place::Command, "journal", [](Arguments& a, const std::string& v) { a.since = v; }},
        {"--operation", true, Place::Command, "journal",
         [](Arguments& a, const std::string& v) { a.operation = v; }},
        {"--failed", false, Place::Command, "journal",
         [](Arguments& a, const std::string&) { a.failed = true; }},
        {"--csv", false, Place::Command, "journal", [](Arguments& a, const std::string&) { a.csv = true; }},
        {"--json", false, Place::Command, "journal", [](Arguments& a, const std::string&) { a.json = true; }},
    };
    return options;
}

bool TakenBy(const Option& option, const std::string& command) {
    if (option.commands.empty()) return true;
    std::string_view rest = option.commands;
    while (!rest.empty()) {
        const auto blank = std::min(rest.find(' '), rest.size());
        if (rest.substr(0, blank) == command) return true;
        rest.remove_prefix(std::min(blank + 1, rest.size()));
    }
    return false;
}

// The option `name` where it stands: before the command when `command` is
// empty. Null when it may not stand there.
const Option* FindOption(const std::string& name, const std::string& command) {
    for (const auto& option : Options()) {
        if (option.name != name) continue;
        const bool global = command.empty();
        if (global ? option.place != Place::Command
                   : option.place != Place::Global && TakenBy(option, command))
            return &option;
    }
    return nullptr;
}

// Applies the option at args[i]; moves i past its value.
void ApplyOption(const Option& option, const std::vector<std::string>& args, std::size_t& i,
                 Arguments& parsed) {
    std::string value;
    if (option.takes_value) {
        if (i + 1 >= args.size()) throw UsageError{args[i] + " needs a value"};
        value = args[++i];
    }
    option.apply(parsed, value);
}

// Options that come before the command and hold for any command.
std::size_t ParseGlobalOptions(const std::vector<std::string>& args, Arguments& parsed) {
    std::size_t i = 0;
    for (; i < args.size(); ++i) {
        const Option* option = FindOption(args[i], "");
        if (!option) break;
        ApplyOption(*option, args, i, parsed);
    }
    return i;
}

std::string GeneralHelp() {
    std::string text(kGeneralHelpHead);
    for (const auto& command : Commands()) {
        std::string usage(2, ' ');
        usage += command.name;
        if (!command.synopsis.empty()) {
            usage += ' ';
            usage += command.synopsis;
        }
        usage.resize(std::max<std::size_t>(usage.size() + 2, 36), ' ');
        text += usage;
        text += command.summary;
        text += '\n';
    }
    return text + std::string(kGeneralHelpTail);
}

}  // namespace

Arguments ParseArguments(const std::vector<std::string>& args) {
    Arguments parsed;
    if (args.empty()) throw UsageError{"no command given"};
    std::size_t i = ParseGlobalOptions(args, parsed);
    if (parsed.help) return parsed;
    if (i == args.size()) throw UsageError{"no command given"};
    parsed.command = args[i];
    const Command* command = FindCommand(parsed.command);
    if (!command) throw UsageError{"unknown command '" + parsed.command + "'"};
    for (++i; i < args.size(); ++i) {
        if (const Option* option = FindOption(args[i], parsed.command)) {
            ApplyOption(*option, args, i, parsed);
        } else if (args[i].rfind("--", 0) == 0) {
            throw UsageError{"unknown option '" + args[i] + "' for " + parsed.command};
        } else {
            parsed.files.push_back(args[i]);
        }
    }
    if (!parsed.help) command->check(parsed);
    return parsed;
}

std::string HelpText(const std::string& command) {
    const Command* found = FindCommand(command);
    return found ? std::string(found->help) : GeneralHelp();
}

}  // namespace nkq::cli
