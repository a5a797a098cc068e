#include "CommandTable.h"

#include <set>

#include "Commands.h"
#include "ManyPorts.h"
#include "serial/SerialDevice.h"

namespace nkq::cli {

namespace {

constexpr std::string_view kPortsHelp =
    "Usage: nkq ports\n"
    "Lists the serial ports of this machine, one per line, in the order the\n"
    "workstation's port list shows them.\n";

constexpr std::string_view kReadHelp =
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

constexpr std::string_view kWriteHelp =
    "Usage: nkq write --port PORT FILE\n"
    "       nkq write --port PORT --port PORT ... FILE\n"
    "Starts from the initial parameter set, loads the settings file FILE and writes\n"
    "the parameters into the modem on PORT; with several ports into every modem at\n"
    "the same time.\n"
    "\n"
    "  --port PORT     port name (ttyUSB0) or device path (/dev/pts/3)\n";

constexpr std::string_view kFlashHelp =
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

constexpr std::string_view kStatusHelp =
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

std::string Named(const Arguments& args, std::string_view rule) { return args.command + " " + std::string(rule); }

// Every command that talks to modems: at least one port, no device twice,
// and in an output folder no two ports sharing a file.
void CheckPorts(const Arguments& args) {
    if (args.ports.empty()) throw UsageError{Named(args, "needs a --port")};
    std::set<std::string> devices, files;
    for (const auto& port : args.ports) {
        if (!devices.insert(DevicePathForPort(port)).second) throw UsageError{"port " + port + " given twice"};
        if (args.output_dir && !files.insert(PortFileName(port)).second)
            throw UsageError{"ports " + port + " and another one would share the file " + PortFileName(port)};
    }
}

void CheckFiles(const Arguments& args, std::size_t count, std::string_view what) {
    if (args.files.size() == count) return;
    throw UsageError{count == 0 ? Named(args, "takes no file argument")
                                : Named(args, "needs exactly one " + std::string(what))};
}

void CheckPortsCommand(const Arguments& args) { CheckFiles(args, 0, ""); }

void CheckRead(const Arguments& args) {
    CheckPorts(args);
    CheckFiles(args, 0, "");
    if (args.output && args.output_dir) throw UsageError{"read takes --output or --output-dir, not both"};
    if (args.ports.size() > 1 && !args.output_dir)
        throw UsageError{"read from several ports needs --output-dir DIR"};
}

void CheckWrite(const Arguments& args) {
    CheckPorts(args);
    CheckFiles(args, 1, "settings FILE");
}

void CheckFlash(const Arguments& args) {
    CheckPorts(args);
    CheckFiles(args, 1, "firmware IMAGE");
}

void CheckStatus(const Arguments& args) {
    CheckPorts(args);
    if (args.ports.size() != 1) throw UsageError{"status needs exactly one --port"};
    CheckFiles(args, 0, "");
}

}  // namespace

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands{
        {"ports", "", "list the serial ports of this machine", kPortsHelp, CheckPortsCommand, RunPorts},
        {"read", "--port PORT [--output FILE]", "read the modem's parameters as a settings file", kReadHelp,
         CheckRead, RunRead},
        {"write", "--port PORT FILE", "write the settings file FILE into the modem", kWriteHelp, CheckWrite,
         RunWrite},
        {"flash", "--port PORT [--yes] IMAGE", "load the firmware image IMAGE into the modem", kFlashHelp,
         CheckFlash, RunFlash},
        {"status", "--port PORT [--watch]", "list the TCP connections of a modem in server mode", kStatusHelp,
         CheckStatus, RunStatus},
    };
    return commands;
}

const Command* FindCommand(std::string_view name) {
    for (const auto& command : Commands())
        if (command.name == name) return &command;
    return nullptr;
}

}  // namespace nkq::cli
