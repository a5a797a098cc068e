#include "Commands.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <iostream>
#include <string>
#include <type_traits>

#include "InterruptRequest.h"
#include "ManyPorts.h"
#include "PortAdvice.h"
#include "PortConsole.h"
#include "PortOperator.h"
#include "TerminalOperator.h"
#include "app/Cp1251.h"
#include "app/ErrorText.h"
#include "app/Failure.h"
#include "app/OperatorMessages.h"
#include "app/Utf8Path.h"
#include "firmware/FirmwareUpdate.h"
#include "firmware/MemoryFileNameStore.h"
#include "params/ParameterLines.h"
#include "params/ParameterSet.h"
#include "params/ReadParameters.h"
#include "params/SettingsFile.h"
#include "params/WriteParameters.h"
#include "serial/ComPort.h"
#include "serial/PortList.h"
#include "serial/PortTrace.h"
#include "serial/SerialDevice.h"
#include "status/ServerStatus.h"
#include "status/StatusPollCycle.h"

namespace nkq::cli {

namespace {

void ReportFailure(const std::string& message) {
    std::fprintf(stderr, "%s\n", ErrorDisplayText(message).c_str());
}

// After the port's own message, a line on what to do about it, when there is
// something to do.
void ReportPortFailure(const EComPort& failure, const std::string& port_name) {
    ReportFailure(failure.Message());
    if (failure.MessageCode() != kComOpenFailed) return;
    const std::string advice = OpenFailureAdvice(failure.SystemError(), DevicePathForPort(port_name));
    if (!advice.empty()) std::fprintf(stderr, "%s\n", advice.c_str());
}

// The silent abort has already been explained to the operator; every other
// failure is shown once, as the window's error display would show it. A body
// may return its own exit status. `port_name` names the port for advice.
template <typename Body>
int RunGuarded(Body&& body, const std::string& port_name = {}) {
    try {
        if constexpr (std::is_same_v<decltype(body()), int>) {
            return body();
        } else {
            body();
            return 0;
        }
    } catch (const EAbort&) {
        return 1;
    } catch (const EComPort& e) {
        ReportPortFailure(e, port_name);
    } catch (const Exception& e) {
        ReportFailure(e.Message());
    } catch (const std::exception& e) {
        ReportFailure(e.what());
    }
    return 1;
}

void PrepareSet(ParameterSet& set) { set.ApplyStartupRules(); }

void PrepareSession(TComPort& port, const std::string& name, const std::shared_ptr<PortTrace>& trace) {
    port.SetPort(name);
    port.SetTrace(trace);
}

// What a parameter command on one port works with, as the window holds it.
struct SinglePort {
    SinglePort(const std::string& name, const std::shared_ptr<PortTrace>& trace) {
        PrepareSet(set);
        PrepareSession(port, name, trace);
    }
    ParameterSet set;
    TComPort port{TComPortSetup::System};
    TerminalOperator op;
    ParameterSession session{port, set, op, {}};
};

std::vector<std::string> SummaryLines(const ParameterSet& set) {
    return {"Модель: " + Cp1251ToUtf8(set.ModelText()),
            "Версия ПО: " + Cp1251ToUtf8(set.Fields().VersionEdit.Text()),
            "Уровень сигнала: " + std::to_string(set.Level())};
}

void WriteSummary(const ParameterSet& set) {
    for (const auto& line : SummaryLines(set)) std::fprintf(stderr, "%s\n", line.c_str());
}

// The table goes to standard output, where a script finds it; the status
// is 0 only when every port succeeded.
int ReportOutcomes(const std::vector<PortOutcome>& outcomes) {
    std::fflush(stderr);
    std::cout << ResultTable(outcomes);
    std::cout.flush();
    const bool all_ok = std::all_of(outcomes.begin(), outcomes.end(), [](const auto& o) { return o.ok; });
    return all_ok ? 0 : 1;
}

std::filesystem::path OutputFile(const Arguments& args) {
    if (args.output) return *args.output;
    std::filesystem::create_directories(PathFromUtf8(*args.output_dir));
    return PathFromUtf8(*args.output_dir) / PortFileName(args.ports.front());
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
bool WatchConnections(TCustomComPort& port, Operator& op, bool watch) {
    StatusPollCycle cycle(port, op, PrintConnections);
    cycle.Opened();
    const int status = RunGuarded([&] {
        cycle.TimerFired();
        while (watch && cycle.TimerRunning() && !InterruptRequest::SleepUnlessInterrupted(cycle.Interval()))
            cycle.TimerFired();
    });
    cycle.Closed();
    return status == 0;
}

int RunReadOnPorts(const Arguments& args, const std::shared_ptr<PortTrace>& trace) {
    const std::filesystem::path dir = PathFromUtf8(*args.output_dir);
    const int made = RunGuarded([&] { std::filesystem::create_directories(dir); });
    if (made != 0) return made;
    PortConsole console;
    return ReportOutcomes(RunOnPorts(args.ports, console, trace, true, [&](TComPort& port, PortOperator& op) {
        ParameterSet set;
        PrepareSet(set);
        ParameterSession session{port, set, op, {}};
        ReadModemParameters(session);
        SaveSettingsFile(set, Utf8FromPath(dir / PortFileName(port.Port())));
        for (const auto& line : SummaryLines(set)) op.Print(line);
        return true;
    }));
}

int RunWriteOnPorts(const Arguments& args, const std::shared_ptr<PortTrace>& trace) {
    PortConsole console;
    return ReportOutcomes(RunOnPorts(args.ports, console, trace, true, [&](TComPort& port, PortOperator& op) {
        ParameterSet set;
        PrepareSet(set);
        LoadSettingsFile(set, args.files.front());
        ParameterSession session{port, set, op, {}};
        WriteModemParameters(session);
        return true;
    }));
}

// The question is asked once for the whole batch, before any port is touched.
bool ConfirmBatchUpdate(const Arguments& args) {
    std::string ports;
    for (const auto& port : args.ports) ports += (ports.empty() ? "" : ", ") + port;
    std::fprintf(stderr, "%zu ports: %s\n", args.ports.size(), ports.c_str());
    TerminalOperator op(args.yes);
    return op.AskYesNo(messages::kUpdateQuestion, messages::kQuestionCaption);
}

int RunFlashOnPorts(const Arguments& args, const std::shared_ptr<PortTrace>& trace) {
    const InterruptRequest interrupt;
    if (!ConfirmBatchUpdate(args)) return 1;
    PortConsole console;
    return ReportOutcomes(RunOnPorts(args.ports, console, trace, true, [&](TComPort& port, PortOperator& op) {
        MemoryFileNameStore file_names;  // the window's remembered name stays untouched
        FirmwareSession session{port, op, file_names, args.files.front(), &InterruptRequest::Requested};
        return UpdateFirmware(session) == UpdateResult::Updated;
    }));
}

}  // namespace

int RunPorts() {
    return RunGuarded([] {
        std::vector<std::string> names;
        ListPortNames(names);
        for (const auto& name : names) std::cout << name << '\n';
        std::cout.flush();
    });
}

int RunRead(const Arguments& args, const std::shared_ptr<PortTrace>& trace) {
    if (args.ports.size() > 1) return RunReadOnPorts(args, trace);
    SinglePort one(args.ports.front(), trace);
    return RunGuarded(
        [&] {
            ReadModemParameters(one.session);
            if (args.output || args.output_dir) {
                SaveSettingsFile(one.set, Utf8FromPath(OutputFile(args)));
            } else {
                std::cout << SettingsFileText(one.set);
                std::cout.flush();
            }
            WriteSummary(one.set);
        },
        args.ports.front());
}

int RunWrite(const Arguments& args, const std::shared_ptr<PortTrace>& trace) {
    if (args.ports.size() > 1) return RunWriteOnPorts(args, trace);
    SinglePort one(args.ports.front(), trace);
    return RunGuarded(
        [&] {
            LoadSettingsFile(one.set, args.files.front());
            WriteModemParameters(one.session);
        },
        args.ports.front());
}

}  // namespace nkq::cli

namespace nkq::cli {

int RunFlash(const Arguments& args, const std::shared_ptr<PortTrace>& trace) {
    if (!args.yes && !::isatty(STDIN_FILENO))
        throw UsageError{"flash asks before it starts; without a terminal on standard input give --yes"};
    if (args.ports.size() > 1) return RunFlashOnPorts(args, trace);
    TComPort port(TComPortSetup::System);
    PrepareSession(port, args.ports.front(), trace);
    TerminalOperator op(args.yes);
    MemoryFileNameStore file_names;  // the window's remembered name stays untouched
    const InterruptRequest interrupt;
    FirmwareSession session{port, op, file_names, args.files.front(), &InterruptRequest::Requested};
    return RunGuarded([&] { return UpdateFirmware(session) == UpdateResult::Updated ? 0 : 1; },
                      args.ports.front());
}

int RunStatus(const Arguments& args, const std::shared_ptr<PortTrace>& trace) {
    TComPort port(TComPortSetup::System);
    PrepareSession(port, args.ports.front(), trace);
    TerminalOperator op;
    const InterruptRequest interrupt;
    bool polls_succeeded = true;
    const int status = RunGuarded(
        [&] {
            RunStatusSession(port, [&](TCustomComPort& open_port) {
                polls_succeeded = WatchConnections(open_port, op, args.watch);
            });
        },
        args.ports.front());
    // After a failed "STOP" or "START" the port must not stay held.
    const int closed = RunGuarded([&] { port.Close(); });
    return status == 0 && closed == 0 && polls_succeeded ? 0 : 1;
}

}  // namespace nkq::cli
