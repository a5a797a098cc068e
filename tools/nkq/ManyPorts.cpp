#include "ManyPorts.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <exception>
#include <thread>

#include "PortAdvice.h"
#include "PortConsole.h"
#include "PortOperator.h"
#include "app/ErrorText.h"
#include "app/Failure.h"
#include "serial/ComPort.h"
#include "serial/SerialDevice.h"

namespace nkq::cli {

namespace {

using Clock = std::chrono::steady_clock;

// Like the single-port nkq: the silent abort was explained already; every
// other failure is shown once, a port that would not open with advice.
bool RunGuardedOnPort(TComPort& port, PortOperator& op, const PortBody& body) {
    try {
        return body(port, op);
    } catch (const EAbort&) {
    } catch (const EComPort& e) {
        op.ReportFailure(ErrorDisplayText(e.Message()));
        const std::string advice = e.MessageCode() == kComOpenFailed
                                       ? OpenFailureAdvice(e.SystemError(), DevicePathForPort(port.Port()))
                                       : std::string();
        if (!advice.empty()) op.Print(advice);
    } catch (const Exception& e) {
        op.ReportFailure(ErrorDisplayText(e.Message()));
    } catch (const std::exception& e) {
        op.ReportFailure(ErrorDisplayText(e.what()));
    } catch (...) {
        op.ReportFailure("unexpected failure");  // a thread must never end the program
    }
    return false;
}

PortOutcome RunOnePort(const std::string& name, PortConsole& console, const std::shared_ptr<PortTrace>& trace,
                       bool answer, const PortBody& body) {
    const auto start = Clock::now();
    PortOperator op(console, name, answer);
    PortOutcome outcome;
    outcome.port = name;
    {
        TComPort port(TComPortSetup::System);
        port.SetPort(name);
        port.SetTrace(trace);
        outcome.ok = RunGuardedOnPort(port, op, body);
        try {
            port.Close();  // a failed START must not leave the port held
        } catch (const Exception& e) {
            op.ReportFailure(ErrorDisplayText(e.Message()));
            outcome.ok = false;
        }
    }
    outcome.messages = op.Messages();
    outcome.duration = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    return outcome;
}

// Cyrillic letters take two bytes but one column.
std::size_t Columns(const std::string& text) {
    return static_cast<std::size_t>(std::count_if(
        text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

std::string Padded(const std::string& text, std::size_t width) {
    return text + std::string(width > Columns(text) ? width - Columns(text) : 0, ' ');
}

std::string ResultText(const PortOutcome& outcome) {
    if (outcome.ok) return "ok";
    if (outcome.messages.empty()) return "failed";
    std::string text;
    for (const auto& message : outcome.messages) text += (text.empty() ? "" : "; ") + message;
    return text;
}

std::string Duration(std::chrono::milliseconds duration) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f s", static_cast<double>(duration.count()) / 1000);
    return text;
}

}  // namespace

std::vector<PortOutcome> RunOnPorts(const std::vector<std::string>& ports, PortConsole& console,
                                    const std::shared_ptr<PortTrace>& trace, bool answer,
                                    const PortBody& body) {
    std::vector<PortOutcome> outcomes(ports.size());
    {
        std::vector<std::jthread> threads;
        threads.reserve(ports.size());
        for (std::size_t i = 0; i < ports.size(); ++i)
            threads.emplace_back(
                [&, i] { outcomes[i] = RunOnePort(ports[i], console, trace, answer, body); });
    }
    return outcomes;
}

std::string ResultTable(const std::vector<PortOutcome>& outcomes) {
    std::size_t port_width = 4, result_width = 6;
    for (const auto& outcome : outcomes) {
        port_width = std::max(port_width, Columns(outcome.port));
        result_width = std::max(result_width, Columns(ResultText(outcome)));
    }
    std::string table = Padded("PORT", port_width) + "  " + Padded("RESULT", result_width) + "  TIME\n";
    for (const auto& outcome : outcomes)
        table += Padded(outcome.port, port_width) + "  " + Padded(ResultText(outcome), result_width) + "  " +
                 Duration(outcome.duration) + "\n";
    return table;
}

namespace {

// Windows takes these names, with any extension, for its devices, so no file
// can carry them (CON, PRN, AUX, NUL, COM0..COM9, LPT0..LPT9, in any case).
bool IsReservedDeviceName(const std::string& name) {
    std::string upper;
    for (const char c : name) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (upper == "CON" || upper == "PRN" || upper == "AUX" || upper == "NUL") return true;
    return upper.size() == 4 && (upper.rfind("COM", 0) == 0 || upper.rfind("LPT", 0) == 0) &&
           std::isdigit(static_cast<unsigned char>(upper[3]));
}

}  // namespace

std::string PortFileName(const std::string& port) {
    std::string name = DevicePathForPort(port);
    for (const char* device_folder : {"/dev/", "\\\\.\\"}) {
        const std::string prefix = device_folder;
        if (name.rfind(prefix, 0) == 0) name.erase(0, prefix.size());
    }
    name.erase(0, name.find_first_not_of("/\\"));
    std::replace(name.begin(), name.end(), '/', '-');
    std::replace(name.begin(), name.end(), '\\', '-');
    if (IsReservedDeviceName(name)) name += '_';
    return name + ".txt";
}

}  // namespace nkq::cli
