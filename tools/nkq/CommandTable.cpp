#include "CommandTable.h"

#include <cctype>
#include <filesystem>
#include <set>

#include "Commands.h"
#include "JournalCommand.h"
#include "ManyPorts.h"
#include "serial/PortNames.h"

namespace nkq::cli {

namespace {

constexpr std::string_view kPortsHelp =
    "Usage: nkq ports\n"
    "Lists the serial ports of this machine, one per line, in the order the\n"
    "workstation's port list shows them, then the ports on serial device servers\n"
    "that NKQ_REMOTE_PORTS names (separated by blanks), in its order.\n";

constexpr std::string_view kReadHelp =
    "Usage: nkq read --port PORT [--output FILE] [--partial] [--quick]\n"
    "       nkq read --port PORT [--port PORT ...] --output-dir DIR [--partial] [--quick]\n"
    "Reads the parameters from the modem on PORT and writes them in the settings-file\n"
    "form (what saving a settings file would write) to FILE, or to standard output.\n"
    "A summary (model, firmware version, signal level) follows on standard error.\n"
    "The read fails, naming the keys and saving nothing, when the modem does not\n"
    "report every line a write in its mode sends.\n"
    "\n"
    "  --port PORT     port name (ttyUSB0), device path (/dev/pts/3) or a device\n"
    "                  server's port (rfc2217://HOST:PORT, socket://HOST:PORT); give\n"
    "                  it again for each further modem to read at the same time\n"
    "  --output FILE   write the settings to FILE instead of standard output;\n"
    "                  an existing FILE is replaced only when the read succeeded\n"
    "  --output-dir DIR  write one settings file per port into DIR (made when\n"
    "                  missing), named after the port: ttyUSB0 gives ttyUSB0.txt,\n"
    "                  /dev/pts/3 gives pts-3.txt; a failed read writes no file\n"
    "  --partial       save only the lines whose keys the modem reported: a partial\n"
    "                  file, for write --merge\n"
    "  --quick         end the reply at its \"OK\" line (see nkq --help)\n";

constexpr std::string_view kVerifyHelp =
    "Usage: nkq verify --port PORT [--port PORT ...] [--quick] FILE\n"
    "Reads the modem on PORT (as read does) and compares it, key by key, with the\n"
    "settings file FILE: every line that FILE sets and that a write in its mode\n"
    "would send. The keys that differ are printed as a table KEY, FILE, MODEM on\n"
    "standard output (with several ports on each port's lines); a password is\n"
    "compared but never printed. A modem line counts for the key a read applies it\n"
    "to (APNX sets APN), and values are compared as their fields hold them (port\n"
    "0080 is 80, address 010.000.000.001 is 10.0.0.1). FILE is checked as write\n"
    "checks it, and must name at least one parameter.\n"
    "\n"
    "  --port PORT     port name (ttyUSB0), device path (/dev/pts/3) or a device\n"
    "                  server's port (rfc2217://HOST:PORT, socket://HOST:PORT); give\n"
    "                  it again for each further modem to check at the same time\n"
    "  --quick         end the modem's reply at its \"OK\" line (see nkq --help)\n"
    "\n"
    "Exit status: 0 the modem holds the file's settings (on every port), 1 a key\n"
    "differs, the file was refused or the read failed.\n";

constexpr std::string_view kWriteHelp =
    "Usage: nkq write --port PORT [--merge] [--verify] [--quick] FILE\n"
    "       nkq write --port PORT --port PORT ... [--merge] [--verify] [--quick] FILE\n"
    "Starts from the initial parameter set, loads the settings file FILE and writes\n"
    "the parameters into the modem on PORT; with several ports into every modem at\n"
    "the same time.\n"
    "\n"
    "The modem gets exactly the file, or nothing: before any port opens FILE is\n"
    "refused (exit status 1, one line per problem with its line number) when a\n"
    "line's key is not exactly one of the keys a write sends, a key is set twice,\n"
    "a value would be changed by its field (not in its list, out of its range, not\n"
    "an address), or FILE does not set every line that a write in its mode sends\n"
    "(MODE 1 client, 0 server, 2 modem; client when FILE has no MODE line).\n"
    "\n"
    "A port written with leading zeros (DESTPORT 0080) is written as its number.\n"
    "\n"
    "  --port PORT     port name (ttyUSB0), device path (/dev/pts/3) or a device\n"
    "                  server's port (rfc2217://HOST:PORT, socket://HOST:PORT)\n"
    "  --merge         read the modem first and change only what FILE names: a\n"
    "                  partial file is enough; the other checks still apply. Fails\n"
    "                  before CMD, naming them, when the modem did not report a key\n"
    "                  that the write sends and FILE does not set\n"
    "  --verify        read the modem back after writing; fails, listing the keys\n"
    "                  that differ, unless it holds what was written\n"
    "  --quick         the reads of --merge and --verify end the modem's reply at\n"
    "                  its \"OK\" line (see nkq --help)\n";

constexpr std::string_view kFlashHelp =
    "Usage: nkq flash --port PORT [--yes] IMAGE\n"
    "       nkq flash --port PORT --port PORT ... [--yes] IMAGE\n"
    "Loads the firmware image IMAGE into the modem on PORT in 512-byte blocks; bytes\n"
    "after the last whole block are not sent (nkq says how many before it starts),\n"
    "and an image without a whole block is refused. Asks first (y/N) unless --yes\n"
    "is given; without a terminal on standard input --yes is required. A progress line\n"
    "(percent, blocks, speed, time left) goes to standard error. The window's\n"
    "remembered file name is left as it is. With several ports the question is\n"
    "asked once for all, and the progress shows one line per port.\n"
    "\n"
    "  --port PORT     port name (ttyUSB0), device path (/dev/pts/3) or a device\n"
    "                  server's port (rfc2217://HOST:PORT, socket://HOST:PORT)\n"
    "  --yes           do not ask before the update starts\n"
    "\n"
    "Ctrl+C (or SIGTERM, SIGHUP) stops after the packet in flight, closes the port\n"
    "and says after which block of how many the upload stopped; the modem may then\n"
    "need a restart before the next update. A stop in the loader's 2 s pause ends\n"
    "before the block count is sent. A second one ends nkq at once.\n"
    "Exit status: 0 the image was loaded, 1 it was not (declined, stopped or failed).\n";

constexpr std::string_view kStatusHelp =
    "Usage: nkq status --port PORT [--watch] [--quick]\n"
    "Sends STOP to the modem on PORT, asks it once for its current TCP connections\n"
    "(TCP), prints them on standard output, then sends START and closes the port.\n"
    "\n"
    "  --port PORT     port name (ttyUSB0), device path (/dev/pts/3) or a device\n"
    "                  server's port (rfc2217://HOST:PORT, socket://HOST:PORT)\n"
    "  --watch         ask again 5 seconds after each answer and print the list anew,\n"
    "                  until Ctrl+C (or SIGTERM, SIGHUP): the poll in flight ends,\n"
    "                  START is sent and the port closed\n"
    "  --quick         end each reply at its \"OK\" line (see nkq --help)\n"
    "\n"
    "Exit status: 0 after the last list (also when --watch was stopped), 1 a poll,\n"
    "the port or standard output failed, or a stop came before the first list.\n";

constexpr std::string_view kJournalHelp =
    "Usage: nkq journal [--since DATE] [--port PORT] [--operation NAME] [--failed]\n"
    "                   [--csv | --json]\n"
    "Lists the work journal, newest first: every read, write, verify, settings file\n"
    "load and save, firmware update and status session that nkq or the window ran,\n"
    "with its time (UTC), port, modem, result and first message. Passwords are\n"
    "never kept, only whether one was set and whether a write changed it.\n"
    "\n"
    "  --since DATE      only operations started at or after DATE, in UTC:\n"
    "                    2026-12-08, 2026-12-08 10:15 or 2026-12-08T10:15:02Z\n"
    "  --port PORT       only operations on PORT (ttyS0 and /dev/ttyS0 are one port)\n"
    "  --operation NAME  only read, write, verify, load, save, flash or status\n"
    "  --failed          only operations that failed\n"
    "  --csv             every field as CSV (UTF-8), for a spreadsheet\n"
    "  --json            every field as JSON, for a script\n"
    "\n"
    "The journal is $XDG_DATA_HOME/nkq/journal.sqlite3 (~/.local/share/nkq/ by\n"
    "default); NKQ_JOURNAL=PATH chooses another file and NKQ_JOURNAL=off turns\n"
    "recording off. A journal that cannot be written never stops an operation:\n"
    "one warning goes to standard error.\n";

std::string Named(const Arguments& args, std::string_view rule) {
    return args.command + " " + std::string(rule);
}

// The device a port name reaches, with links and ".." resolved, so that
// ttyUSB0, /dev/ttyUSB0 and a /dev/serial/by-id link to it are one device;
// a network port is its server's address, whichever the protocol.
std::string DeviceOf(const std::string& port) {
    if (IsNetworkPort(port)) {
        std::string address = port.substr(port.find("://") + 3);
        for (char& c : address) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return "//" + address;
    }
    std::error_code ignored;
    const auto device = std::filesystem::weakly_canonical(DevicePathForPort(port), ignored);
    return device.empty() ? DevicePathForPort(port) : device.string();
}

// Every command that talks to modems: at least one port, none empty, no
// device twice (it would look held by another program), and in an output
// folder no two ports sharing a file.
void CheckPorts(const Arguments& args) {
    if (args.ports.empty()) throw UsageError{Named(args, "needs a --port")};
    std::set<std::string> devices, files;
    for (const auto& port : args.ports) {
        if (port.empty()) throw UsageError{"--port needs a port name, not an empty text"};
        if (const std::string problem = NetworkPortProblem(port); !problem.empty()) throw UsageError{problem};
        if (!devices.insert(DeviceOf(port)).second) throw UsageError{"port " + port + " given twice"};
        const std::string file = PortFileName(port, kPortFileExtension);
        if (args.output_dir && !files.insert(file).second)
            throw UsageError{"ports " + port + " and another one would share the file " + file};
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

void CheckVerify(const Arguments& args) {
    CheckPorts(args);
    CheckFiles(args, 1, "settings FILE");
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
        {"verify", "--port PORT FILE", "check that the modem holds the settings of FILE", kVerifyHelp,
         CheckVerify, RunVerify},
        {"write", "--port PORT [--merge] [--verify] FILE", "write the settings file FILE into the modem",
         kWriteHelp, CheckWrite, RunWrite},
        {"flash", "--port PORT [--yes] IMAGE", "load the firmware image IMAGE into the modem", kFlashHelp,
         CheckFlash, RunFlash},
        {"status", "--port PORT [--watch]", "list the TCP connections of a modem in server mode", kStatusHelp,
         CheckStatus, RunStatus},
        {"journal", "[--since DATE] [--failed] [--csv|--json]",
         "list the operations kept in the work journal", kJournalHelp, CheckJournal, RunJournal},
    };
    return commands;
}

const Command* FindCommand(std::string_view name) {
    for (const auto& command : Commands())
        if (command.name == name) return &command;
    return nullptr;
}

}  // namespace nkq::cli
