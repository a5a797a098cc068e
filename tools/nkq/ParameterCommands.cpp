// The commands on a modem's parameters: read, verify and write.
#include <unistd.h>

#include <filesystem>

#include "CommandOperator.h"
#include "Commands.h"
#include "KeyDifferences.h"
#include "ManyPorts.h"
#include "ModemReading.h"
#include "PortFailures.h"
#include "SettingsFileProblems.h"
#include "StandardOutput.h"
#include "TerminalOperator.h"
#include "VisibleText.h"
#include "app/Cp1251.h"
#include "app/Failure.h"
#include "app/FileBytes.h"
#include "params/ParameterLines.h"
#include "params/ParameterSet.h"
#include "params/ReplyValues.h"
#include "params/SettingsFile.h"
#include "params/WriteParameters.h"
#include "serial/ComPort.h"

namespace nkq::cli {

namespace {

// The parameter set as the window holds it after its start-up.
struct StartupSet : ParameterSet {
    StartupSet() { ApplyStartupRules(); }
};

// A settings file read once, before any port is touched, so that every
// port gets the same bytes.
struct SettingsText {
    std::string path;
    std::string bytes;
};

std::vector<std::string> SummaryLines(const ParameterSet& set) {
    return {"Модель: " + Cp1251ToUtf8(set.ModelText()),
            "Версия ПО: " + Cp1251ToUtf8(set.Fields().VersionEdit.Text()),
            "Уровень сигнала: " + std::to_string(set.Level())};
}

// Where a read's settings go: a file per port in the output folder, the
// output file, or standard output. The file form keeps the modem's bytes,
// so only a terminal gets the control characters made visible.
void PutSettings(const Arguments& args, const std::string& port, const ParameterSet& set) {
    if (args.output_dir) {
        SaveSettingsFile(set, (std::filesystem::path(*args.output_dir) / PortFileName(port)).string());
    } else if (args.output) {
        SaveSettingsFile(set, *args.output);
    } else {
        const std::string text = SettingsFileText(set);
        WriteStandardOutput(::isatty(STDOUT_FILENO) ? VisibleKeepingLineEnds(text) : text);
    }
}

// Reads the file and refuses it before any port opens when its lines are
// wrong whatever the modem holds; `whole_file` also refuses one that does
// not set every line its mode's write sends.
bool ReadSettings(const std::string& path, bool whole_file, SettingsText& settings) {
    TerminalOperator op;
    return RunReportingFailures(op, {}, [&] {
        settings = {path, ReadWholeFile(path)};
        auto problems = CheckSettingsLines(settings.bytes);
        if (problems.empty() && whole_file) {
            StartupSet set;
            ParseParameters(set, settings.bytes);
            problems = CheckSettingsAgainst(set, settings.bytes, true);
        }
        return NoProblems(op, path, problems);
    });
}

// Applies the file on top of what `set` holds and refuses it (nothing
// sent) when the result would not send the file's values.
void ApplySettings(const SettingsText& settings, ParameterSet& set, CommandOperator& op) {
    ParseParameters(set, settings.bytes);
    if (!NoProblems(op, settings.path, CheckSettingsAgainst(set, settings.bytes, false))) AbortOperation();
}

// The lines of `set` whose keys the file names.
std::vector<std::string> NamedLines(const ParameterSet& set, const std::string& file_bytes) {
    const auto named = ReplyValues(file_bytes);
    std::vector<std::string> lines;
    for (const auto& line : BuildParameterLines(set))
        if (named.count(LineKey(line))) lines.push_back(line);
    return lines;
}

// True when the reply holds every expected line; else the table of
// differences is the command's output and the summary its failure.
bool HoldsLines(const std::vector<std::string>& expected, const std::string& reply, CommandOperator& op) {
    const auto differences = CompareWithReply(expected, reply);
    if (differences.empty()) return true;
    op.Output(DifferenceTable(differences));
    op.ReportFailure(DifferenceSummary(differences));
    return false;
}

bool VerifyPort(const SettingsText& settings, TComPort& port, CommandOperator& op) {
    StartupSet set;
    const std::string reply = ReadModem(port, op, set);
    ApplySettings(settings, set, op);
    if (!HoldsLines(NamedLines(set, settings.bytes), reply, op)) return false;
    op.Print("The modem holds the settings of " + settings.path);
    return true;
}

bool WritePort(const Arguments& args, const SettingsText& settings, TComPort& port, CommandOperator& op) {
    StartupSet set;
    if (args.merge) {
        ReadModem(port, op, set);
        ApplySettings(settings, set, op);
    } else {
        ParseParameters(set, settings.bytes);
    }
    const std::vector<std::string> sent = BuildParameterLines(set);
    ParameterSession session = CommandSession(port, set, op);
    WriteModemParameters(session);
    if (!args.verify) return true;
    StartupSet back;
    return HoldsLines(sent, ReadModem(port, op, back), op);
}

}  // namespace

int RunRead(const Arguments& args, const std::shared_ptr<PortTrace>& trace) {
    TerminalOperator failures;
    if (args.output_dir && !RunReportingFailures(failures, {}, [&] {
            std::filesystem::create_directories(*args.output_dir);
            return true;
        }))
        return 1;
    return RunOnPorts(args.ports, {trace, args.quick}, false, [&](TComPort& port, CommandOperator& op) {
        StartupSet set;
        ReadModem(port, op, set);
        PutSettings(args, port.Port(), set);
        for (const auto& line : SummaryLines(set)) op.Print(line);
        return true;
    });
}

int RunVerify(const Arguments& args, const std::shared_ptr<PortTrace>& trace) {
    SettingsText settings;
    if (!ReadSettings(args.files.front(), false, settings)) return 1;
    return RunOnPorts(args.ports, {trace, args.quick}, false,
                      [&](TComPort& port, CommandOperator& op) { return VerifyPort(settings, port, op); });
}

int RunWrite(const Arguments& args, const std::shared_ptr<PortTrace>& trace) {
    SettingsText settings;
    if (!ReadSettings(args.files.front(), !args.merge, settings)) return 1;
    return RunOnPorts(args.ports, {trace, args.quick}, false, [&](TComPort& port, CommandOperator& op) {
        return WritePort(args, settings, port, op);
    });
}

}  // namespace nkq::cli
