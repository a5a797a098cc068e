// The commands on a modem's parameters: read, verify and write.
#include <unistd.h>

#include <filesystem>
#include <optional>

#include "CommandOperator.h"
#include "Commands.h"
#include "KeptMessages.h"
#include "KeyDifferences.h"
#include "ManyPorts.h"
#include "ModemReading.h"
#include "PortFailures.h"
#include "ProgramJournal.h"
#include "SettingsFileProblems.h"
#include "StandardOutput.h"
#include "TerminalOperator.h"
#include "VisibleText.h"
#include "app/Cp1251.h"
#include "app/Failure.h"
#include "app/FileBytes.h"
#include "app/Utf8Path.h"
#include "operations/RecordedRun.h"
#include "operations/WriteParameters.h"
#include "params/ParameterKeyRules.h"
#include "params/ParameterLines.h"
#include "params/ParameterSet.h"
#include "params/ParameterValues.h"
#include "params/ReplyValues.h"
#include "params/SettingsFile.h"
#include "protocol/ParameterKeys.h"
#include "protocol/TextLines.h"
#include "serial/ComPort.h"
#include "serial/PortNames.h"

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

// The lines a read saves: every line a write in the set's mode sends, or
// with --partial only those whose keys the modem reported.
std::vector<std::string> ReadLines(const Arguments& args, const ParameterSet& set, const std::string& reply) {
    std::vector<std::string> lines = BuildParameterLines(set);
    if (!args.partial) return lines;
    const auto reported = ReportedKeys(reply);
    std::erase_if(lines, [&](const std::string& line) { return !reported.count(LineKey(line)); });
    return lines;
}

// A read for a file must hold every line the write of its mode sends:
// otherwise the file would hold initial values as if the modem held them,
// and pass the strict write.
void RequireWholeRead(const Arguments& args, const ParameterSet& set, const std::string& reply) {
    if (args.partial) return;
    RequireReported(KeysNotReported(set.GetMode(), reply), set.GetMode(),
                    ": nothing saved (--partial saves only what it reported)");
}

// Where a read's settings go: a file per port in the output folder, the
// output file, or standard output. The file form keeps the modem's bytes,
// so only a terminal gets the control characters made visible.
void PutSettings(const Arguments& args, PortWork& work, const std::vector<std::string>& lines) {
    std::optional<std::string> file;
    if (args.output_dir)
        file =
            Utf8FromPath(PathFromUtf8(*args.output_dir) / PortFileName(work.port.Port(), kPortFileExtension));
    if (args.output) file = *args.output;
    const std::string text = SettingsFileText(lines);
    if (file) {
        work.record.SetSettingsFile(*file);
        ReplaceFile(*file, text);
    } else {
        WriteStandardOutput(::isatty(STDOUT_FILENO) ? VisibleKeepingLineEnds(text) : text);
    }
}

// What a settings file must hold besides lines that are right whatever the
// modem holds.
enum class FileNeeds {
    WholeWrite,  // every line its mode's write sends
    SomeKey,     // at least one key: a check of nothing would pass any modem
    Anything,
};

// Reads the file and refuses it before any port opens when its lines are
// wrong whatever the modem holds or it lacks what `needs` asks for. The
// refusal is told on the terminal and kept in `refusal`.
bool ReadSettings(const std::string& path, FileNeeds needs, SettingsText& settings,
                  std::vector<std::string>& refusal) {
    TerminalOperator terminal;
    KeptMessages op(terminal, refusal);
    return RunReportingFailures(op, terminal, {}, [&] {
        settings = {path, ReadSettingsText(path)};
        auto problems = CheckSettingsLines(settings.bytes);
        if (problems.empty() && needs == FileNeeds::WholeWrite) {
            StartupSet set;
            ParseParameters(set, settings.bytes);
            problems = CheckSettingsAgainst(set, settings.bytes, true);
        }
        if (problems.empty() && needs == FileNeeds::SomeKey && ReportedKeys(settings.bytes).empty())
            problems.push_back({0, {}, "names no parameter to check"});
        return NoProblems(op, path, problems);
    });
}

// A file refused before any port opened still leaves each port's failed
// row in the journal, with what the technician was told (already, once).
void RecordRefusal(const Arguments& args, OperationKind kind, const SettingsText& settings,
                   const std::vector<std::string>& refusal) {
    TerminalOperator told_already;
    for (const auto& port : args.ports) {
        RunRecorded(ProgramJournal(), port, kind, told_already, [&](Operator&, RunRecord& record) {
            record.SetSettingsFile(args.files.front());
            for (const auto& line : SplitLines(settings.bytes)) {
                const auto key = KeyOfLine(line);
                if (key && IsHiddenKey(*key)) record.KeepSecret(ExtractValue(line));
            }
            for (const auto& message : refusal) record.AddMessage(message);
            return Outcome::Failed;
        });
    }
}

// Applies the file on top of what `set` holds and refuses it (nothing
// sent) when the result would not send the file's values.
void ApplySettings(const SettingsText& settings, ParameterSet& set, Operator& op) {
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

// The keys that differ, for the record; a password's values are secrets it
// must mask wherever they appear.
void RecordDifferences(const std::vector<KeyDifference>& differences, RunRecord& record) {
    for (const auto& difference : differences) {
        if (IsHiddenKey(difference.key)) {
            record.KeepSecret(difference.expected);
            if (difference.actual) record.KeepSecret(*difference.actual);
        }
        record.AddDifferingKey(difference.key);
    }
}

// Succeeded when the reply holds every expected line; else the table of
// differences is the command's output and the summary its failure.
Outcome HoldsLines(const std::vector<std::string>& expected, const std::string& reply, PortWork& work) {
    const auto differences = CompareWithReply(expected, reply);
    if (differences.empty()) return Outcome::Succeeded;
    RecordDifferences(differences, work.record);
    work.out.Output(DifferenceTable(differences));
    work.op.InformOperator(DifferenceSummary(differences));
    return Outcome::Failed;
}

// The keys the modem must have reported for a merge: every key the write
// sends that the file does not set, or the write would send initial values
// for the modem's own.
void RequireMergeable(const SettingsText& settings, const ParameterSet& set, const std::string& reply) {
    const auto named = ReportedKeys(settings.bytes);
    RequireReported(KeysNotReported(set.GetMode(), reply, named), set.GetMode(),
                    " and " + settings.path + " does not set: nothing written");
}

Outcome VerifyPort(const SettingsText& settings, PortWork& work) {
    work.record.SetSettingsFile(settings.path);
    StartupSet set;
    const std::string reply = ReadModem(work, set);
    ApplySettings(settings, set, work.op);
    if (HoldsLines(NamedLines(set, settings.bytes), reply, work) != Outcome::Succeeded)
        return Outcome::Failed;
    work.out.Print("The modem holds the settings of " + settings.path);
    return Outcome::Succeeded;
}

Outcome WritePort(const Arguments& args, const SettingsText& settings, PortWork& work) {
    work.record.SetSettingsFile(settings.path);
    StartupSet set;
    if (args.merge) {
        ReadModem(work, set, [&](const std::string& reply) {
            ApplySettings(settings, set, work.op);
            RequireMergeable(settings, set, reply);
        });
    } else {
        ParseParameters(set, settings.bytes);
    }
    WritePortsAsNumbers(set);
    const std::vector<std::string> sent = BuildParameterLines(set);
    ParameterSession session = CommandSession(work, set, work.op);
    WriteModemParameters(session);
    if (!args.verify) return Outcome::Succeeded;
    StartupSet back;
    return HoldsLines(sent, ReadModem(work, back), work);
}

}  // namespace

int RunRead(const Arguments& args, const std::shared_ptr<PortTrace>& trace) {
    TerminalOperator failures;
    if (args.output_dir && !RunReportingFailures(failures, {}, [&] {
            std::filesystem::create_directories(PathFromUtf8(*args.output_dir));
            return true;
        }))
        return 1;
    const PortSetup setup{trace, args.quick, OperationKind::Read};
    return RunOnPorts(args.ports, setup, false, [&](PortWork& work) {
        StartupSet set;
        std::string reply;
        ReadModem(work, set, [&](const std::string& answer) {
            RequireWholeRead(args, set, answer);
            reply = answer;
        });
        PutSettings(args, work, ReadLines(args, set, reply));
        for (const auto& line : SummaryLines(set)) work.out.Print(line);
        return Outcome::Succeeded;
    });
}

int RunVerify(const Arguments& args, const std::shared_ptr<PortTrace>& trace) {
    SettingsText settings;
    std::vector<std::string> refusal;
    if (!ReadSettings(args.files.front(), FileNeeds::SomeKey, settings, refusal)) {
        RecordRefusal(args, OperationKind::Verify, settings, refusal);
        return 1;
    }
    return RunOnPorts(args.ports, {trace, args.quick, OperationKind::Verify}, false,
                      [&](PortWork& work) { return VerifyPort(settings, work); });
}

int RunWrite(const Arguments& args, const std::shared_ptr<PortTrace>& trace) {
    SettingsText settings;
    std::vector<std::string> refusal;
    if (!ReadSettings(args.files.front(), args.merge ? FileNeeds::Anything : FileNeeds::WholeWrite, settings,
                      refusal)) {
        RecordRefusal(args, OperationKind::Write, settings, refusal);
        return 1;
    }
    return RunOnPorts(args.ports, {trace, args.quick, OperationKind::Write}, false,
                      [&](PortWork& work) { return WritePort(args, settings, work); });
}

}  // namespace nkq::cli
