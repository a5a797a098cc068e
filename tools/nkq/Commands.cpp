#include "Commands.h"

#include <cstdio>
#include <exception>
#include <iostream>
#include <string>

#include "TerminalOperator.h"
#include "app/Cp1251.h"
#include "app/ErrorText.h"
#include "app/Failure.h"
#include "params/ParameterLines.h"
#include "params/ParameterSet.h"
#include "params/ReadParameters.h"
#include "params/SettingsFile.h"
#include "params/WriteParameters.h"
#include "serial/ComPort.h"
#include "serial/PortList.h"

namespace nkq::cli {

namespace {

void ReportFailure(const std::string& message) {
    std::fprintf(stderr, "%s\n", ErrorDisplayText(message).c_str());
}

// The silent abort has already been explained to the operator; every other
// failure is shown once, as the window's error display would show it.
template <typename Body>
int RunGuarded(Body&& body) {
    try {
        body();
        return 0;
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
