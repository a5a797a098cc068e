// nkq: the workstation's operations from a terminal, for scripts and for
// setting up many modems.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "Arguments.h"
#include "Commands.h"
#include "ProgramConsole.h"
#include "app/Catalogue.h"
#include "app/ErrorText.h"
#include "app/Failure.h"
#include "app/Utf8Path.h"
#include "serial/PortTrace.h"

namespace {

int RunCommand(const nkq::cli::Arguments& parsed, const std::shared_ptr<nkq::PortTrace>& trace) {
    using namespace nkq::cli;
    if (parsed.command == "ports") return RunPorts();
    if (parsed.command == "read") return RunRead(parsed, trace);
    if (parsed.command == "flash") return RunFlash(parsed, trace);
    if (parsed.command == "status") return RunStatus(parsed, trace);
    return RunWrite(parsed, trace);
}

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

}  // namespace

int main(int argc, char** argv) {
    using namespace nkq::cli;
    PrepareConsole();
    nkq::InitCatalogue();
    const std::vector<std::string> args = ProgramArguments(argc, argv);
    try {
        const Arguments parsed = ParseArguments(args);
        if (parsed.help) {
            std::fputs(HelpText(parsed.command).c_str(), stdout);
            return 0;
        }
        std::shared_ptr<nkq::PortTrace> trace;
        if (parsed.trace) {
            try {
                trace = std::make_shared<nkq::PortTrace>(nkq::PathFromUtf8(*parsed.trace));
            } catch (const nkq::Exception& e) {
                std::fprintf(stderr, "%s\n", nkq::ErrorDisplayText(e.Message()).c_str());
                return 1;
            }
        }
        return RunCommand(parsed, trace);
    } catch (const UsageError& e) {
        std::fprintf(stderr, "nkq: %s\n\n%s", e.text.c_str(), HelpText(CommandOf(args)).c_str());
        return 2;
    }
}
