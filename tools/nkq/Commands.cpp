#include "Commands.h"

#include <unistd.h>

#include <cstdio>
#include <exception>
#include <iostream>
#include <string>
#include <type_traits>

#include "InterruptRequest.h"
#include "TerminalOperator.h"
#include "app/Cp1251.h"
#include "app/ErrorText.h"
#include "app/Failure.h"
#include "firmware/FirmwareUpdate.h"
#include "firmware/MemoryFileNameStore.h"
#include "params/ParameterLines.h"
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

void ReportFailure(const std::string& message) {
    std::fprintf(stderr, "%s\n", ErrorDisplayText(message).c_str());
}

// The silent abort has already been explained to the operator; every other
// failure is shown once, as the window's error display would show it. A body
// may return its own exit status.
template <typename Body>
int RunGuarded(Body&& body) {
    try {
        if constexpr (std::is_same_v<decltype(body()), int>) {
            return body();
        } else {
            body();
            return 0;
        }
    } catch (const EAbort&) {
        return 1;
    } catch (const Exception& e) {
        ReportFailure(e.Message());
    } catch (const std::exception& e) {
        ReportFailure(e.what());
    }
    return 1;
}

void PrepareSet(ParameterSet& set) { set.ApplyStartupRules(); }

void PrepareSession(TComPort& port, const std::string& name) { port.SetPort(name); }

void WriteSummary(const ParameterSet& set) {
    std::fprintf(stderr, "Модель: %s\n", Cp1251ToUtf8(set.ModelText()).c_str());
    std::fprintf(stderr, "Версия ПО: %s\n", Cp1251ToUtf8(set.Fields().VersionEdit.Text()).c_str());
    std::fprintf(stderr, "Уровень сигнала: %d\n", set.Level());
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

}  // namespace

int RunPorts() {
    return RunGuarded([] {
        std::vector<std::string> names;
        ListPortNames(names);
        for (const auto& name : names) std::cout << name << '\n';
        std::cout.flush();
    });
}

int RunRead(const Arguments& args) {
    ParameterSet set;
    PrepareSet(set);
    TComPort port(TComPortSetup::System);
    PrepareSession(port, args.ports.front());
    TerminalOperator op;
    ParameterSession session{port, set, op, {}};
    return RunGuarded([&] {
        ConnectButtonClick(session);
        if (args.output) {
            SaveSettingsFile(set, *args.output);
        } else {
            std::cout << SettingsFileText(set);
            std::cout.flush();
        }
        WriteSummary(set);
    });
}

int RunWrite(const Arguments& args) {
    ParameterSet set;
    PrepareSet(set);
    TComPort port(TComPortSetup::System);
    PrepareSession(port, args.ports.front());
    TerminalOperator op;
    ParameterSession session{port, set, op, {}};
    return RunGuarded([&] {
        LoadSettingsFile(set, args.files.front());
        WriteButtonClick(session);
    });
}

}  // namespace nkq::cli

namespace nkq::cli {

int RunFlash(const Arguments& args) {
    if (!args.yes && !::isatty(STDIN_FILENO))
        throw UsageError{"flash asks before it starts; without a terminal on standard input give --yes"};
    TComPort port(TComPortSetup::System);
    PrepareSession(port, args.ports.front());
    TerminalOperator op(args.yes);
    MemoryFileNameStore file_names;  // the window's remembered name stays untouched
    const InterruptRequest interrupt;
    FirmwareSession session{port, op, file_names, args.files.front(), &InterruptRequest::Requested};
    return RunGuarded([&] { return WriteFirmwareButtonClick(session) == UpdateResult::Updated ? 0 : 1; });
}

int RunStatus(const Arguments& args) {
    TComPort port(TComPortSetup::System);
    PrepareSession(port, args.ports.front());
    TerminalOperator op;
    const InterruptRequest interrupt;
    bool polls_succeeded = true;
    const int status = RunGuarded([&] {
        ShowStateButtonClick(port, [&](TCustomComPort& open_port) {
            polls_succeeded = WatchConnections(open_port, op, args.watch);
        });
    });
    // After a failed "STOP" or "START" the port must not stay held.
    const int closed = RunGuarded([&] { port.Close(); });
    return status == 0 && closed == 0 && polls_succeeded ? 0 : 1;
}

}  // namespace nkq::cli
