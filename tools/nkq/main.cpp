// nkq: the workstation's operations from a terminal, for scripts and for
// setting up many modems.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "Arguments.h"
#include "CommandTable.h"
#include "ProgramConsole.h"
#include "StandardOutput.h"
#include "StopRequest.h"
#include "app/Catalogue.h"
#include "app/ErrorText.h"
#include "app/Failure.h"
#include "app/Utf8Path.h"
#include "serial/PortTrace.h"

namespace {

using namespace nkq::cli;

// The command named on the line, for the help that follows a usage error.
std::string CommandOf(const std::vector<std::string>& args) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--trace") {
            ++i;
        } else if (args[i].rfind("-", 0) != 0) {
            return args[i];
        }
    }
    return {};
}

int Failed(const std::string& message) {
    std::fprintf(stderr, "%s\n", message.c_str());
    return 1;
}

// The trace and standard output are checked once more when the command is
// done: a full disk may show only when the last bytes are written.
int Finish(int status, const std::shared_ptr<nkq::PortTrace>& trace) {
    if (trace) {
        if (const int error = trace->Close(); error != 0)
            status = Failed(EOutputError("trace file " + nkq::Utf8FromPath(trace->Path()), error).Message());
    }
    try {
        CloseStandardOutput();
    } catch (const EOutputError& e) {
        status = Failed(e.Message());
    }
    return status;
}

// NKQ_QUICK=1 gives every run --quick, for a batch script that sets it once.
Arguments WithEnvironment(Arguments parsed) {
    const char* quick = std::getenv("NKQ_QUICK");
    if (quick && std::string(quick) == "1") parsed.quick = true;
    return parsed;
}

int Run(const Arguments& parsed) {
    if (parsed.help) {
        WriteStandardOutput(HelpText(parsed.command));
        return Finish(0, nullptr);
    }
    std::shared_ptr<nkq::PortTrace> trace;
    if (parsed.trace) {
        try {
            trace = std::make_shared<nkq::PortTrace>(nkq::PathFromUtf8(*parsed.trace));
        } catch (const nkq::Exception& e) {
            return Failed(nkq::ErrorDisplayText(e.Message()));
        }
    }
    const StopRequest stop;
    return Finish(FindCommand(parsed.command)->run(parsed, trace), trace);
}

}  // namespace

int main(int argc, char** argv) {
    HoldClosedStandardDescriptors();
    PrepareConsole();
    nkq::InitCatalogue();
    const std::vector<std::string> args = ProgramArguments(argc, argv);
    try {
        return Run(WithEnvironment(ParseArguments(args)));
    } catch (const UsageError& e) {
        std::fprintf(stderr, "nkq: %s\n\n%s", e.text.c_str(), HelpText(CommandOf(args)).c_str());
        return 2;
    } catch (const EOutputError& e) {
        return Failed(e.Message());
    }
}
