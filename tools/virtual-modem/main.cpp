// nkq-virtual-modem: a modem on a pseudo-terminal, for the demo, the tests
// and training. Prints the device path first so a script can read it.
#include <csignal>
#include <iostream>

#include "ModemCommandLine.h"
#include "VirtualModem.h"

namespace {

// Blocked before the modem's thread starts, so only sigwait sees them.
sigset_t TerminationSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    return signals;
}

int RunModem(nkq::ModemSetup setup) {
    const sigset_t signals = TerminationSignals();
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    nkq::VirtualModem modem(std::move(setup));
    const auto& path = modem.LinkPath().empty() ? modem.DevicePath() : modem.LinkPath();
    std::cout << path << std::endl;
    int signal = 0;
    sigwait(&signals, &signal);
    modem.Stop();
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    const std::string program = argc > 0 ? argv[0] : "nkq-virtual-modem";
    try {
        const auto command_line = nkq::ParseModemCommandLine({argv + 1, argv + argc});
        if (command_line.show_help) {
            std::cout << nkq::ModemUsageText(program);
            return 0;
        }
        return RunModem(command_line.setup);
    } catch (const nkq::EUsage& usage) {
        std::cerr << program << ": " << usage.Message() << "\n" << nkq::ModemUsageText(program);
        return 2;
    } catch (const std::exception& failure) {
        std::cerr << program << ": " << failure.what() << "\n";
        return 1;
    }
}
