#include "Arguments.h"

#include <set>

#include "ManyPorts.h"
#include "serial/SerialDevice.h"

namespace nkq::cli {

namespace {

const std::set<std::string> kCommands = {"ports", "read", "write", "flash", "status"};

const char* kGeneralHelp =
    "Usage: nkq [--trace FILE] [--quick] COMMAND [OPTIONS]\n"
    "Sets up Morvasta NKQ modems over a serial line.\n"
    "\n"
    "Commands:\n"
    "  ports                           list the serial ports of this machine\n"
    "  read --port PORT [--output FILE]  read the modem's parameters as a settings file\n"
    "  write --port PORT FILE          write the settings file FILE into the modem\n"
    "  flash --port PORT [--yes] IMAGE load the firmware image IMAGE into the modem\n"
    "  status --port PORT [--watch]    list the TCP connections of a modem in server mode\n"
    "\n"
    "PORT is a port name (ttyUSB0) or a device path (/dev/pts/3). read, write and\n"
    "flash take --port more than once to work on several modems at the same time\n"
    "(read then needs --output-dir DIR); each port's messages are prefixed with\n"
    "\"PORT: \" and a table of the ports' results ends the run on standard output.\n"
    "\n"
    "  --trace FILE    record every byte sent to and received from the ports in FILE\n"
    "                  (appended): one line per read or write with the seconds since\n"
    "                  the start, the port, -> sent or <- received, the byte count,\n"
    "                  the bytes in hex and as text; a read that got nothing is a\n"
    "                  line \"<- 0 (nothing arrived)\"; opens and closes are noted.\n"
    "                  The window does the same when NKQ_TRACE=FILE is set.\n"
    "  --quick         (or NKQ_QUICK=1) for read, verify, write --merge/--verify and\n"
    "                  status: a reply ends once a complete line beginning with \"OK\"\n"
    "                  has come and the line has then been quiet for 100 ms, instead\n"
    "                  of always being looked at only after 3 s; a read takes about\n"
    "                  0.6 s instead of 3.6 s. Without such a line the 3 s rule holds\n"
    "                  unchanged. It differs only for a modem that pauses more than\n"
    "                  100 ms after an early \"OK\" line: its reply is cut there.\n"
    "\n"
    "Messages go to standard error. Exit status: 0 success (on every port), 1 the\n"
    "operation failed (on at least one port), 2 the command line is wrong.\n"
    "When a port cannot be opened for lack of permission or because another program\n"
    "holds it, a line starting \"Hint:\" follows the port's message.\n"
    "Run 'nkq COMMAND --help' for the options of one command.\n";

const char* kPortsHelp =
    "Usage: nkq ports\n"
    "Lists the serial ports of this machine, one per line, in the order the\n"
    "workstation's port list shows them.\n";

const char* kReadHelp =
    "Usage: nkq read --port PORT [--output FILE]\n"
    "       nkq read --port PORT [--port PORT ...] --output-dir DIR\n"
    "Reads the parameters from the modem on PORT and writes them in the settings-file\n"
    "form (what saving a settings file would write) to FILE, or to standard output.\n"
    "A summary (model, firmware version, signal level) follows on standard error.\n"
    "\n"
    "  --port PORT     port name (ttyUSB0) or device path (/dev/pts/3); give it\n"
    "                  again for each further modem to read at the same time\n"
    "  --output FILE   write the settings to FILE instead of standard output;\n"
    "                  an existing FILE is replaced only when the read succeeded\n"
    "  --output-dir DIR  write one settings file per port into DIR (made when\n"
    "                  missing), named after the port: ttyUSB0 gives ttyUSB0.txt,\n"
    "                  /dev/pts/3 gives pts-3.txt; a failed read writes no file\n";

const char* kWriteHelp =
    "Usage: nkq write --port PORT FILE\n"
    "       nkq write --port PORT --port PORT ... FILE\n"
    "Starts from the initial parameter set, loads the settings file FILE and writes\n"
    "the parameters into the modem on PORT; with several ports into every modem at\n"
    "the same time.\n"
    "\n"
    "  --port PORT     port name (ttyUSB0) or device path (/dev/pts/3)\n";

const char* kFlashHelp =
    "Usage: nkq flash --port PORT [--yes] IMAGE\n"
    "       nkq flash --port PORT --port PORT ... [--yes] IMAGE\n"
    "Loads the firmware image IMAGE into the modem on PORT in 512-byte blocks; bytes\n"
    "after the last whole block are not sent. Asks first (y/N) unless --yes is given;\n"
    "without a terminal on standard input --yes is required. A progress line\n"
    "(percent, blocks, speed, time left) goes to standard error. The window's\n"
    "remembered file name is left as it is. With several ports the question is\n"
    "asked once for all, and the progress shows one line per port.\n"
    "\n"
    "  --port PORT     port name (ttyUSB0) or device path (/dev/pts/3)\n"
    "  --yes           do not ask before the update starts\n"
    "\n"
    "Ctrl+C stops after the packet in flight and closes the port; the modem's loader\n"
    "then waits for a new upload. A second Ctrl+C ends nkq at once.\n"
    "Exit status: 0 the image was loaded, 1 it was not (declined, stopped or failed).\n";

const char* kStatusHelp =
    "Usage: nkq status --port PORT [--watch]\n"
    "Sends STOP to the modem on PORT, asks it once for its current TCP connections\n"
    "(TCP), prints them on standard output, then sends START and closes the port.\n"
    "\n"
    "  --port PORT     port name (ttyUSB0) or device path (/dev/pts/3)\n"
    "  --watch         ask again 5 seconds after each answer and print the list anew,\n"
    "                  until Ctrl+C; START is sent and the port closed all the same\n"
    "\n"
    "Exit status: 0 after the last list (or Ctrl+C with --watch), 1 a poll or the\n"
    "port failed.\n";

std::string TakeValue(const std::vector<std::string>& args, std::size_t& i) {
    if (i + 1 >= args.size()) throw UsageError{args[i] + " needs a value"};
    return args[++i];
}

void CheckPorts(const Arguments& parsed) {
    if (parsed.ports.empty()) throw UsageError{parsed.command + " needs a --port"};
    if (parsed.command == "status" && parsed.ports.size() != 1)
        throw UsageError{"status needs exactly one --port"};
    std::set<std::string> devices, files;
    for (const auto& port : parsed.ports) {
        if (!devices.insert(DevicePathForPort(port)).second)
            throw UsageError{"port " + port + " given twice"};
        if (parsed.output_dir && !files.insert(PortFileName(port)).second)
            throw UsageError{"ports " + port + " and another one would share the file " + PortFileName(port)};
    }
}

void CheckRead(const Arguments& parsed) {
    if (!parsed.files.empty()) throw UsageError{"read takes no file argument"};
    if (parsed.output && parsed.output_dir) throw UsageError{"read takes --output or --output-dir, not both"};
    if (parsed.ports.size() > 1 && !parsed.output_dir)
        throw UsageError{"read from several ports needs --output-dir DIR"};
}

void Check(const Arguments& parsed) {
    if (parsed.help) return;
    if (parsed.command == "ports") {
        if (!parsed.ports.empty() || parsed.output || !parsed.files.empty())
            throw UsageError{"ports takes no options"};
        return;
    }
    CheckPorts(parsed);
    if (parsed.command == "read") CheckRead(parsed);
    if (parsed.command == "write") {
        if (parsed.output) throw UsageError{"write takes no --output"};
        if (parsed.files.size() != 1) throw UsageError{"write needs exactly one settings FILE"};
    }
    if (parsed.command == "flash" && parsed.files.size() != 1)
        throw UsageError{"flash needs exactly one firmware IMAGE"};
    if (parsed.command == "status" && !parsed.files.empty())
        throw UsageError{"status takes no file argument"};
}

// Options that come before the command and hold for any command.
std::size_t ParseGlobalOptions(const std::vector<std::string>& args, Arguments& parsed) {
    std::size_t i = 0;
    for (; i < args.size(); ++i) {
        if (args[i] == "--trace") {
            parsed.trace = TakeValue(args, i);
        } else if (args[i] == "--help" || args[i] == "-h") {
            parsed.help = true;
        } else {
            break;
        }
    }
    return i;
}

}  // namespace

Arguments ParseArguments(const std::vector<std::string>& args) {
    Arguments parsed;
    if (args.empty()) throw UsageError{"no command given"};
    std::size_t i = ParseGlobalOptions(args, parsed);
    if (parsed.help) return parsed;
    if (i == args.size()) throw UsageError{"no command given"};
    parsed.command = args[i];
    if (!kCommands.count(parsed.command)) throw UsageError{"unknown command '" + parsed.command + "'"};
    for (++i; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            parsed.help = true;
        } else if (arg == "--port") {
            parsed.ports.push_back(TakeValue(args, i));
        } else if (arg == "--output" && parsed.command == "read") {
            parsed.output = TakeValue(args, i);
        } else if (arg == "--output-dir" && parsed.command == "read") {
            parsed.output_dir = TakeValue(args, i);
        } else if (arg == "--yes" && parsed.command == "flash") {
            parsed.yes = true;
        } else if (arg == "--watch" && parsed.command == "status") {
            parsed.watch = true;
        } else if (arg.rfind("--", 0) == 0) {
            throw UsageError{"unknown option '" + arg + "' for " + parsed.command};
        } else {
            parsed.files.push_back(arg);
        }
    }
    Check(parsed);
    return parsed;
}

std::string HelpText(const std::string& command) {
    if (command == "ports") return kPortsHelp;
    if (command == "read") return kReadHelp;
    if (command == "write") return kWriteHelp;
    if (command == "flash") return kFlashHelp;
    if (command == "status") return kStatusHelp;
    return kGeneralHelp;
}

}  // namespace nkq::cli
