// The commands on a modem's parameters: read, verify and write.
#include <unistd.h>

#include <filesystem>
#include <optional>

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
#include "app/Utf8Path.h"
#include "journal/OperationRecorder.h"
#include "params/ParameterLines.h"
#include "params/ParameterSet.h"
#include "params/ReplyValues.h"
#include "params/SettingsFile.h"
#include "params/WriteParameters.h"
#include "protocol/ParameterKeys.h"
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
void PutSettings(const Arguments& args, const std::string& port, const ParameterSet& set,
                 CommandOperator& op) {
    std::optional<std::string> file;
    if (args.output_dir) file = Utf8FromPath(PathFromUtf8(*args.output_dir) / PortFileName(port));
    if (args.output) file = *args.output;
    if (file) {
        if (op.Record()) op.Record()->SetSettingsFile(*file);
        SaveSettingsFile(set, *file);
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
        settings = {path, ReadSettingsText(path)};
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

// The keys that differ, for the journal record; a password's values are
// secrets it must mask wherever they appear.
void RecordDifferences(const std::vector<KeyDifference>& differences, CommandOperator& op) {
    journal::OperationRecorder* record = op.Record();
    if (!record) return;
    for (const auto& difference : differences) {
        if (difference.key == modem::kPasswordKey) {
            record->KeepSecret(difference.expected);
            if (difference.actual) record->KeepSecret(*difference.actual);
        }
        record->AddDifferingKey(difference.key);
    }
}

// True when the reply holds every expected line; else the table of
// differences is the command's output and the summary its failure.
bool HoldsLines(const std::vector<std::string>& expected, const std::string& reply, CommandOperator& op) {
    const auto differences = CompareWithReply(expected, reply);
    if (differences.empty()) return true;
    RecordDifferences(differences, op);
    op.Output(DifferenceTable(differences));
    op.ReportFailure(DifferenceSummary(differences));
    return false;
}

// Which settings file the operation worked from, for its journal record.
void RecordSettingsFile(const SettingsText& settings, CommandOperator& op) {
    if (op.Record()) op.Record()->SetSettingsFile(settings.path);
}

bool VerifyPort(const SettingsText& settings, TComPort& port, CommandOperator& op) {
    RecordSettingsFile(settings, op);
    StartupSet set;
    const std::string reply = ReadModem(port, op, set);
    ApplySettings(settings, set, op);
    if (!HoldsLines(NamedLines(set, settings.bytes), reply, op)) return false;
    op.Print("The modem holds the settings of " + settings.path);
    return true;
}

bool WritePort(const Arguments& args, const SettingsText& settings, TComPort& port, CommandOperator& op) {
    RecordSettingsFile(settings, op);
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
            std::filesystem::create_directories(PathFromUtf8(*args.output_dir));
            return true;
        }))
        return 1;
    const PortSetup setup{trace, args.quick, journal::OperationKind::Read};
    return RunOnPorts(args.ports, setup, false, [&](TComPort& port, CommandOperator& op) {
        StartupSet set;
        ReadModem(port, op, set);
        PutSettings(args, port.Port(), set, op);
        for (const auto& line : SummaryLines(set)) op.Print(line);
        return true;
    });
}

int RunVerify(const Arguments& args, const std::shared_ptr<PortTrace>& trace) {
    SettingsText settings;
    if (!ReadSettings(args.files.front(), false, settings)) return 1;
    return RunOnPorts(args.ports, {trace, args.quick, journal::OperationKind::Verify}, false,
                      [&](TComPort& port, CommandOperator& op) { return VerifyPort(settings, port, op); });
}

int RunWrite(const Arguments& args, const std::shared_ptr<PortTrace>& trace) {
    SettingsText settings;
    if (!ReadSettings(args.files.front(), !args.merge, settings)) return 1;
    return RunOnPorts(
        args.ports, {trace, args.quick, journal::OperationKind::Write}, false,
        [&](TComPort& port, CommandOperator& op) { return WritePort(args, settings, port, op); });
}

}  // namespace nkq::cli
