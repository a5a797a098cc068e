// nkq: the workstation's operations from a terminal, for scripts and for
// setting up many modems.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "Arguments.h"
#include "CommandTable.h"
#include "app/Catalogue.h"
#include "app/ErrorText.h"
#include "app/Failure.h"
#include "serial/PortTrace.h"

namespace {

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
    nkq::InitCatalogue();
    const std::vector<std::string> args(argv + 1, argv + argc);
    try {
        const Arguments parsed = ParseArguments(args);
        if (parsed.help) {
            std::fputs(HelpText(parsed.command).c_str(), stdout);
            return 0;
        }
        std::shared_ptr<nkq::PortTrace> trace;
        if (parsed.trace) {
            try {
                trace = std::make_shared<nkq::PortTrace>(*parsed.trace);
            } catch (const nkq::Exception& e) {
                std::fprintf(stderr, "%s\n", nkq::ErrorDisplayText(e.Message()).c_str());
                return 1;
            }
        }
        return FindCommand(parsed.command)->run(parsed, trace);
    } catch (const UsageError& e) {
        std::fprintf(stderr, "nkq: %s\n\n%s", e.text.c_str(), HelpText(CommandOf(args)).c_str());
        return 2;
    }
}
