#include "Commands.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>

#include "CommandOperator.h"
#include "InterruptRequest.h"
#include "ManyPorts.h"
#include "PortFailures.h"
#include "TerminalOperator.h"
#include "app/Cp1251.h"
#include "app/OperatorMessages.h"
#include "firmware/FirmwareUpdate.h"
#include "firmware/MemoryFileNameStore.h"
#include "params/ParameterSet.h"
#include "params/ReadParameters.h"
#include "params/SettingsFile.h"
#include "params/WriteParameters.h"
#include "serial/ComPort.h"
#include "serial/PortList.h"
#include "status/ServerStatus.h"
#include "status/StatusPollCycle.h"

namespace nkq::cli {

namespace {

// A failure outside any port (listing the ports, making the output folder),
// shown as the window's error display would show it.
bool RunShowingFailures(const std::function<void()>& body) {
    TerminalOperator op;
    return RunReportingFailures(op, {}, [&] {
        body();
        return true;
    });
}

// The parameter set as the window holds it after its start-up.
struct StartupSet : ParameterSet {
    StartupSet() { ApplyStartupRules(); }
};

std::vector<std::string> SummaryLines(const ParameterSet& set) {
    return {"Модель: " + Cp1251ToUtf8(set.ModelText()),
            "Версия ПО: " + Cp1251ToUtf8(set.Fields().VersionEdit.Text()),
            "Уровень сигнала: " + std::to_string(set.Level())};
}

// Where a read's settings go: a file per port in the output folder, the
// output file, or standard output.
void PutSettings(const Arguments& args, const std::string& port, const ParameterSet& set) {
    if (args.output_dir) {
        SaveSettingsFile(set, (std::filesystem::path(*args.output_dir) / PortFileName(port)).string());
    } else if (args.output) {
        SaveSettingsFile(set, *args.output);
    } else {
        std::cout << SettingsFileText(set);
        std::cout.flush();
    }
}

void PrintConnections(const std::string& text) {
    std::cout << text;
    std::cout.flush();
}

// What the status window does while it is open: the first poll at once
// rather than after an interval (a script wants its answer now), then with
// `watch` one poll an interval after each, until Ctrl+C. A failed poll is
// shown as the window's error display would show it; the caller still sends
// "START". Returns whether every poll succeeded.
bool WatchConnections(TCustomComPort& port, CommandOperator& op, bool watch) {
    StatusPollCycle cycle(port, op, PrintConnections);
    cycle.Opened();
    const bool polled = RunReportingFailures(op, port.Port(), [&] {
        cycle.TimerFired();
        while (watch && cycle.TimerRunning() && !InterruptRequest::SleepUnlessInterrupted(cycle.Interval()))
            cycle.TimerFired();
        return true;
    });
    cycle.Closed();
    return polled;
}

// The question is asked once for the whole batch, before any port is touched.
bool ConfirmBatchUpdate(const Arguments& args) {
    std::string ports;
    for (const auto& port : args.ports) ports += (ports.empty() ? "" : ", ") + port;
    std::fprintf(stderr, "%zu ports: %s\n", args.ports.size(), ports.c_str());
    TerminalOperator op(args.yes);
    return op.AskYesNo(messages::kUpdateQuestion, messages::kQuestionCaption);
}

}  // namespace

int RunPorts(const Arguments&, const std::shared_ptr<PortTrace>&) {
    return RunShowingFailures([] {
        std::vector<std::string> names;
        ListPortNames(names);
        for (const auto& name : names) std::cout << name << '\n';
        std::cout.flush();
    }) ? 0 : 1;
}

int RunRead(const Arguments& args, const std::shared_ptr<PortTrace>& trace) {
    if (args.output_dir && !RunShowingFailures([&] { std::filesystem::create_directories(*args.output_dir); }))
        return 1;
    return RunOnPorts(args.ports, trace, false, [&](TComPort& port, CommandOperator& op) {
        StartupSet set;
        ParameterSession session{port, set, op, {}};
        ReadModemParameters(session);
        PutSettings(args, port.Port(), set);
        for (const auto& line : SummaryLines(set)) op.Print(line);
        return true;
    });
}

int RunWrite(const Arguments& args, const std::shared_ptr<PortTrace>& trace) {
    return RunOnPorts(args.ports, trace, false, [&](TComPort& port, CommandOperator& op) {
        StartupSet set;
        LoadSettingsFile(set, args.files.front());
        ParameterSession session{port, set, op, {}};
        WriteModemParameters(session);
        return true;
    });
}

int RunFlash(const Arguments& args, const std::shared_ptr<PortTrace>& trace) {
    if (!args.yes && !::isatty(STDIN_FILENO))
        throw UsageError{"flash asks before it starts; without a terminal on standard input give --yes"};
    const InterruptRequest interrupt;
    // One port's update asks itself; a batch is asked once, before any port.
    const bool batch = args.ports.size() > 1;
    if (batch && !ConfirmBatchUpdate(args)) return 1;
    return RunOnPorts(args.ports, trace, args.yes || batch, [&](TComPort& port, CommandOperator& op) {
        MemoryFileNameStore file_names;  // the window's remembered name stays untouched
        FirmwareSession session{port, op, file_names, args.files.front(), &InterruptRequest::Requested};
        return UpdateFirmware(session) == UpdateResult::Updated;
    });
}

int RunStatus(const Arguments& args, const std::shared_ptr<PortTrace>& trace) {
    const InterruptRequest interrupt;
    return RunOnPorts(args.ports, trace, false, [&](TComPort& port, CommandOperator& op) {
        bool polls_succeeded = true;
        RunStatusSession(port, [&](TCustomComPort& open_port) {
            polls_succeeded = WatchConnections(open_port, op, args.watch);
        });
        return polls_succeeded;
    });
}

}  // namespace nkq::cli
