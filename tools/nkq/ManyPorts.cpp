#include "ManyPorts.h"

#include <algorithm>
#include <cstdio>
#include <thread>

#include "PortConsole.h"
#include "PortFailures.h"
#include "PortOperator.h"
#include "ProgramJournal.h"
#include "StandardOutput.h"
#include "StopRequest.h"
#include "TerminalOperator.h"
#include "VisibleText.h"
#include "app/AlignedTable.h"
#include "operations/RecordedRun.h"
#include "serial/ComPort.h"

namespace nkq::cli {

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kNotStarted = "Stopped before the port was opened";

// Runs the body with the port named and traced, as a recorded run, and
// closes the port afterwards: a failed START must not leave it held. True
// when the operation succeeded.
bool RunWithPort(const std::string& name, const PortSetup& setup, CommandOperator& op, const PortBody& body) {
    TComPort port(TComPortSetup::System);
    port.SetPort(name);
    port.SetTrace(setup.trace);
    if (setup.quick) port.SetReplyEnd(ReplyEnd::AtOkLine);
    Outcome outcome = Outcome::Failed;
    const auto run = [&](Operator& told, RunRecord& record) {
        // A port whose turn comes after a stop request is not touched at all.
        if (StopRequest::Requested()) {
            told.InformOperator(kNotStarted);
            return Outcome::Stopped;
        }
        PortWork work{port, told, op, record};
        const Outcome done = body(work);
        port.Close();
        return done;
    };
    RunReportingFailures(op, name, [&] {
        outcome = RunRecorded(ProgramJournal(), name, setup.operation, op, run);
        return true;
    });
    const bool closed = RunReportingFailures(op, name, [&] {
        port.Close();
        return true;
    });
    return outcome == Outcome::Succeeded && closed;
}

PortOutcome RunOnePortOfMany(const std::string& name, PortConsole& console, const PortSetup& setup,
                             bool answer, const PortBody& body) {
    const auto start = Clock::now();
    PortOperator op(console, name, answer);
    PortOutcome outcome;
    outcome.port = name;
    outcome.ok = RunWithPort(name, setup, op, body);
    outcome.messages = op.Messages();
    outcome.duration = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    return outcome;
}

// The table goes to standard output, where a script finds it.
int RunOnManyPorts(const std::vector<std::string>& ports, const PortSetup& setup, bool answer,
                   const PortBody& body) {
    PortConsole console;
    std::vector<PortOutcome> outcomes(ports.size());
    {
        std::vector<std::jthread> threads;
        threads.reserve(ports.size());
        for (std::size_t i = 0; i < ports.size(); ++i)
            threads.emplace_back(
                [&, i] { outcomes[i] = RunOnePortOfMany(ports[i], console, setup, answer, body); });
    }
    std::fflush(stderr);
    const bool all_ok = std::all_of(outcomes.begin(), outcomes.end(), [](const auto& o) { return o.ok; });
    TerminalOperator op;
    const bool tabled = RunReportingFailures(op, {}, [&] {
        WriteStandardOutput(ResultTable(outcomes));
        return true;
    });
    return all_ok && tabled ? 0 : 1;
}

std::string ResultText(const PortOutcome& outcome) {
    if (outcome.ok) return "ok";
    if (outcome.messages.empty()) return "failed";
    std::string text;
    for (const auto& message : outcome.messages) text += (text.empty() ? "" : "; ") + Visible(message);
    return text;
}

std::string Duration(std::chrono::milliseconds duration) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f s", static_cast<double>(duration.count()) / 1000);
    return text;
}

}  // namespace

int RunOnPorts(const std::vector<std::string>& ports, const PortSetup& setup, bool answer,
               const PortBody& body) {
    if (ports.size() > 1) return RunOnManyPorts(ports, setup, answer, body);
    // On the calling thread, so that Ctrl+C reaches a question waiting on the terminal.
    TerminalOperator op(answer);
    return RunWithPort(ports.front(), setup, op, body) ? 0 : 1;
}

std::string ResultTable(const std::vector<PortOutcome>& outcomes) {
    std::vector<AlignedTable::Row> rows;
    for (const auto& outcome : outcomes)
        rows.push_back({outcome.port, ResultText(outcome), Duration(outcome.duration)});
    return AlignedTable::Text({"PORT", "RESULT", "TIME"}, rows);
}

}  // namespace nkq::cli
