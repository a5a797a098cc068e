// nkq: the workstation's operations from a terminal, for scripts and for
// setting up many modems.
#include <cstdio>
#include <string>
#include <vector>

#include "Arguments.h"
#include "Commands.h"
#include "app/Catalogue.h"

namespace {

int RunCommand(const nkq::cli::Arguments& parsed) {
    using namespace nkq::cli;
    if (parsed.command == "ports") return RunPorts();
    if (parsed.command == "read") return RunRead(parsed);
    if (parsed.command == "flash") return RunFlash(parsed);
    if (parsed.command == "status") return RunStatus(parsed);
    return RunWrite(parsed);
}

}  // namespace

int main(int argc, char** argv) {
    using namespace nkq::cli;
    nkq::InitCatalogue();
    const std::vector<std::string> args(argv + 1, argv + argc);
    try {
        const Arguments parsed = ParseArguments(args);
        if (parsed.help) {
            std::fputs(HelpText(parsed.command).c_str(), stdout);
            return 0;
        }
        return RunCommand(parsed);
    } catch (const UsageError& e) {
        std::fprintf(stderr, "nkq: %s\n\n%s", e.text.c_str(), HelpText(args.empty() ? "" : args[0]).c_str());
        return 2;
    }
}
