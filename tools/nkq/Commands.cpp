// The commands that list ports, load firmware and watch a server's
// connections.
#include "Commands.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "CommandOperator.h"
#include "ManyPorts.h"
#include "PortFailures.h"
#include "StandardOutput.h"
#include "StopRequest.h"
#include "TerminalOperator.h"
#include "app/OperatorMessages.h"
#include "app/StopAwareWait.h"
#include "app/Utf8Path.h"
#include "firmware/FirmwareFile.h"
#include "firmware/MemoryFileNameStore.h"
#include "operations/FirmwareUpdate.h"
#include "operations/RecordedRun.h"
#include "operations/ServerStatus.h"
#include "operations/StatusPollCycle.h"
#include "protocol/ModemCommands.h"
#include "serial/ComPort.h"
#include "serial/PortList.h"

namespace nkq::cli {

namespace {

constexpr const char* kStoppedBeforePoll = "Stopped before the first poll";

// What the status window does while it is open: the first poll at once
// rather than after an interval (a script wants its answer now), then with
// `watch` one poll an interval after each, until a stop is asked for. A
// failed poll, or a list that cannot be printed, is shown and ends the
// polls; the caller still sends "START". Succeeded when every poll did.
Outcome WatchConnections(TCustomComPort& port, PortWork& work, bool watch) {
    if (StopRequest::Requested()) {
        work.op.InformOperator(kStoppedBeforePoll);
        return Outcome::Stopped;
    }
    StatusPollCycle cycle(port, work.op, [&work](const std::string& text) { work.out.Output(text); });
    cycle.Opened();
    const bool polled = RunReportingFailures(work.op, work.out, port.Port(), [&] {
        cycle.TimerFired();
        while (watch && cycle.TimerRunning() && !WaitUnlessStopped(cycle.Interval(), &StopRequest::Requested))
            cycle.TimerFired();
        return true;
    });
    cycle.Closed();
    return polled ? Outcome::Succeeded : Outcome::Failed;
}

// Only whole blocks go to the modem; the technician hears of a tail that
// does not, before anything starts. A file that cannot be read is told by the
// update itself.
void TellUnsentTail(const std::string& image) {
    std::error_code error;
    const auto size = std::filesystem::file_size(PathFromUtf8(image), error);
    const auto tail = size % modem::kBlockSize;
    if (error || tail == 0 || size < modem::kBlockSize) return;
    std::fprintf(stderr, "The last %ju bytes of %s, less than a block, are not sent\n",
                 static_cast<std::uintmax_t>(tail), image.c_str());
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
    TerminalOperator op;
    const bool listed = RunReportingFailures(op, {}, [] {
        std::vector<std::string> names;
        ListPortNames(names);
        std::string list;
        for (const auto& name : names) list += name + '\n';
        WriteStandardOutput(list);
        return true;
    });
    return listed ? 0 : 1;
}

int RunFlash(const Arguments& args, const std::shared_ptr<PortTrace>& trace) {
    if (!args.yes && !::isatty(STDIN_FILENO))
        throw UsageError{"flash asks before it starts; without a terminal on standard input give --yes"};
    TellUnsentTail(args.files.front());
    // One port's update asks itself; a batch is asked once, before any port.
    const bool batch = args.ports.size() > 1;
    if (batch && !ConfirmBatchUpdate(args)) return 1;
    // Read by the first port that gets that far; every port sends its bytes.
    FirmwareFile image(args.files.front());
    return RunOnPorts(
        args.ports, {trace, args.quick, OperationKind::Flash}, args.yes || batch, [&](PortWork& work) {
            MemoryFileNameStore file_names;  // the window's remembered name stays untouched
            FirmwareSession session{
                work.port, work.op, file_names, args.files.front(), &StopRequest::Requested, &work.record};
            session.File = &image;
            return OutcomeOf(UpdateFirmware(session));
        });
}

int RunStatus(const Arguments& args, const std::shared_ptr<PortTrace>& trace) {
    const PortSetup setup{trace, args.quick, OperationKind::Status};
    return RunOnPorts(args.ports, setup, false, [&](PortWork& work) {
        Outcome polls = Outcome::Succeeded;
        RunStatusSession(work.port, [&](TCustomComPort& open_port) {
            polls = WatchConnections(open_port, work, args.watch);
        });
        return polls;
    });
}

}  // namespace nkq::cli
