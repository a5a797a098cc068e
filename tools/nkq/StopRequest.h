#pragma once
// SIGINT (Ctrl+C), SIGTERM (timeout, systemd) and SIGHUP (a closed session)
// ask the running command to stop at its next safe point: the step in flight
// (a line and its answer, a packet and its answer, a poll) finishes, nothing
// further is sent but "START", and the port is closed, so the modem is left
// in a known state. A second signal ends nkq at once. SIGPIPE is ignored: a
// reader that went away is an output error like any other.
namespace nkq::cli {

class StopRequest {
public:
    // Catches the signals for the lifetime of this object.
    StopRequest();
    ~StopRequest();
    StopRequest(const StopRequest&) = delete;
    StopRequest& operator=(const StopRequest&) = delete;

    static bool Requested();
};

}  // namespace nkq::cli
