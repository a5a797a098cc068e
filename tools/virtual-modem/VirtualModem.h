#pragma once
// A modem on a pseudo-terminal that answers every exchange the workstation
// has with the real one: the parameter commands, the status query and the
// firmware loader. Its own thread reads the line, lets the protocol decide
// the answers and carries them out in time; the behaviour switches make it
// misbehave on purpose, and the trace and the accessors let a test see what
// happened.
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "EndlessTrickle.h"
#include "ModemBehaviour.h"
#include "ModemLine.h"
#include "ModemParameters.h"
#include "ModemProtocol.h"
#include "ModemTrace.h"

namespace nkq {

struct ModemSetup {
    std::string link_path;   // empty: no link to the device
    std::string trace_path;  // empty: trace in memory only
    ModemParameters parameters = ModemParameters::Defaults();
    ModemBehaviour behaviour;
};

class VirtualModem {
public:
    // Starts answering at once. Throws when the pseudo-terminal, the link or
    // the trace file cannot be made.
    explicit VirtualModem(ModemSetup setup = {});
    ~VirtualModem();
    VirtualModem(const VirtualModem&) = delete;
    VirtualModem& operator=(const VirtualModem&) = delete;

    // The slave side, /dev/pts/N; stays the same for the modem's lifetime.
    const std::string& DevicePath() const { return line_.DevicePath(); }
    // The link made at start, empty when none was asked for.
    const std::string& LinkPath() const { return line_.LinkPath(); }

    // Ends the modem's thread; the pseudo-terminal lives until destruction.
    void Stop();

    ModemBehaviour Behaviour() const;
    void SetBehaviour(const ModemBehaviour& behaviour);
    void UpdateBehaviour(const std::function<void(ModemBehaviour&)>& change);

    // Parameters as "GET" lists them (committed by "SAVE").
    ModemParameters Parameters() const;
    void SetParameters(const ModemParameters& parameters);
    // Lines received in the current write session and not yet saved.
    ModemParameters PendingParameters() const;

    std::vector<TraceEntry> Trace() const { return line_.Trace().Entries(); }
    std::string ReceivedBytes() const { return line_.Trace().Bytes(TraceDirection::ToModem); }
    std::string SentBytes() const { return line_.Trace().Bytes(TraceDirection::FromModem); }
    // Every text line received (commands and parameter lines), in order,
    // without line ends; loader bytes are not lines.
    std::vector<std::string> CommandLines() const;

    // The last image received whole by the loader.
    std::string FirmwareImage() const;
    int UploadsCompleted() const;
    int PacketsReceived() const;  // every packet, resends included
    int NaksSent() const;

    bool TrafficStopped() const;  // after "STOP", until "START"
    bool InWriteMode() const;     // after "CMD" was accepted
    // Between "UPDATE" and the last packet; a client closing the line ends it.
    bool LoaderActive() const;
    bool HungUp() const;

    // Wait (up to `timeout`) until at least `count` lines have been handled
    // (their replies sent) / until the modem has hung up; true when it happened.
    bool WaitForCommandLines(std::size_t count, std::chrono::milliseconds timeout) const;
    bool WaitForHangUp(std::chrono::milliseconds timeout) const;

private:
    template <typename Read>
    auto Locked(Read read) const;

    void Run();
    bool ReadInput();
    void RefreshBehaviour();
    void Feed(std::string_view bytes);
    bool CarryOut(const std::vector<ModemStep>& steps);
    void ForgetClient();
    int PollTimeoutMs() const;
    void TrickleTick();
    void ScheduleHangUp(std::chrono::milliseconds linger);
    void HangUp();

    ModemLine line_;

    // Shared with the callers of the accessors.
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    ModemBehaviour behaviour_;
    unsigned behaviour_version_ = 0;  // counts changes, so the modem's thread copies only after one
    ModemProtocol protocol_;
    std::size_t lines_handled_ = 0;
    bool hung_up_ = false;

    // Owned by the modem's thread alone.
    unsigned active_version_ = ~0u;  // the behaviour version the protocol has
    bool real_speed_ = false;
    EndlessTrickle trickle_;
    bool hang_up_pending_ = false;
    std::chrono::steady_clock::time_point hang_up_due_;

    std::thread thread_;  // last, so everything it uses exists before it starts
};

}  // namespace nkq
