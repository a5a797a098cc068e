// Ctrl+C, Ctrl+Break and closing the console window on Windows, mapped onto
// the same stop request as the POSIX signals.
#include <windows.h>

#include <atomic>
#include <cstdlib>

#include "StopRequest.h"

namespace nkq::cli {

namespace {

std::atomic<int> stop_requests{0};

// Windows ends the process once the handler of a closing console returns
// (and after 5 s in any case): it waits here so that the running command
// can close the port and send "START" first.
constexpr DWORD kCloseGrace = 4500;

BOOL WINAPI OnConsoleEvent(DWORD event) {
    switch (event) {
        case CTRL_C_EVENT:
        case CTRL_BREAK_EVENT:
            if (stop_requests > 0) std::_Exit(130);  // the operator insists: no clean-up
            stop_requests = 1;
            return TRUE;
        case CTRL_CLOSE_EVENT:
        case CTRL_LOGOFF_EVENT:
        case CTRL_SHUTDOWN_EVENT:
            stop_requests = 1;
            Sleep(kCloseGrace);
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

StopRequest::StopRequest() {
    stop_requests = 0;
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

StopRequest::~StopRequest() { SetConsoleCtrlHandler(OnConsoleEvent, FALSE); }

bool StopRequest::Requested() { return stop_requests != 0; }

}  // namespace nkq::cli
