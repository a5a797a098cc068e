#pragma once
// A modem on a pseudo-terminal that answers every exchange the workstation
// has with the real one: the parameter commands, the status query and the
// firmware loader. Its own thread reads the master side and answers; the
// behaviour switches make it misbehave on purpose, and the trace and the
// accessors let a test see what happened.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "FirmwareLoader.h"
#include "ModemBehaviour.h"
#include "ModemLineReader.h"
#include "ModemParameters.h"
#include "ModemTrace.h"
#include "PseudoTerminal.h"

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
    const std::string& DevicePath() const { return pty_.SlavePath(); }
    // The link made at start, empty when none was asked for.
    const std::string& LinkPath() const { return link_path_; }

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

    std::vector<TraceEntry> Trace() const { return trace_.Entries(); }
    std::string ReceivedBytes() const { return trace_.Bytes(TraceDirection::ToModem); }
    std::string SentBytes() const { return trace_.Bytes(TraceDirection::FromModem); }
    // Every text line received (commands and parameter lines), in order,
    // without line ends; loader bytes are not lines.
    std::vector<std::string> CommandLines() const;

    // The last image received whole by the loader.
    std::string FirmwareImage() const;
    int UploadsCompleted() const;
    int PacketsReceived() const;  // every packet, resends included
    int NaksSent() const;

    bool TrafficStopped() const { return traffic_stopped_; }  // after "STOP", until "START"
    bool InWriteMode() const { return write_mode_; }          // after "CMD" was accepted
    // Between "UPDATE" and the last packet; a client closing the line ends it.
    bool LoaderActive() const { return loader_active_; }
    bool HungUp() const { return hung_up_; }

    // Wait (up to `timeout`) until at least `count` lines have been handled
    // (their replies sent) / until the modem has hung up; true when it happened.
    bool WaitForCommandLines(std::size_t count, std::chrono::milliseconds timeout) const;
    bool WaitForHangUp(std::chrono::milliseconds timeout) const;

private:
    void Run();
    bool ReadInput();
    void FeedByte(char byte);
    void FeedLine(char byte);
    void FeedLoader(char byte);
    void AnswerLoader(char answer, int block_number, bool repeated);
    void HandleLine(const std::string& line);
    void HandleCommand(const std::string& line);
    void HandleWriteModeLine(const std::string& line);
    void AnswerGet();
    void AnswerTcp();
    void AnswerCmd();
    void AnswerUpdate();
    void AnswerSave();
    void AnswerParameterLine(const std::string& line);
    std::string GetReplyText() const;

    bool Pause(std::chrono::nanoseconds duration);
    void AwaitLineDelivery(std::size_t count);
    void RefreshActiveBehaviour();
    bool DelayReply();
    void Reply(const std::string& text);
    void ReplyAndRepeat(const std::string& text, bool repeated);
    void SendInBursts(const std::string& text);
    void Send(const std::string& text);
    std::size_t WriteAll(const char* data, std::size_t size);
    void StartEndless(const std::string& text);
    void EndlessTick();
    void ForgetClient();
    int PollTimeoutMs() const;
    void ScheduleHangUp();
    void HangUp();

    struct WakePipe {
        WakePipe();
        ~WakePipe();
        int read_fd = -1;
        int write_fd = -1;
    };

    PseudoTerminal pty_;
    const std::string link_path_;
    ModemTrace trace_;
    WakePipe wake_;

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    ModemBehaviour behaviour_;
    unsigned behaviour_version_ = 0;  // counts changes, so the modem's thread copies only after one
    ModemParameters parameters_;
    ModemParameters pending_;
    std::vector<std::string> lines_;
    std::size_t lines_handled_ = 0;
    std::string image_;
    int uploads_ = 0;
    int packets_ = 0;
    int naks_ = 0;

    std::atomic<bool> stopping_{false};
    std::atomic<bool> traffic_stopped_{false};
    std::atomic<bool> write_mode_{false};
    std::atomic<bool> loader_active_{false};
    std::atomic<bool> hung_up_{false};

    // Owned by the modem's thread alone.
    ModemBehaviour active_;  // the behaviour in force for the bytes being handled
    unsigned active_version_ = ~0u;
    ModemLineReader line_reader_;
    FirmwareLoader loader_;
    int lines_answered_ = 0;
    int session_lines_ = 0;  // parameter lines received since "CMD", answered or not
    int packets_accepted_ = 0;
    bool endless_active_ = false;
    std::string endless_text_;
    std::size_t endless_position_ = 0;
    std::chrono::steady_clock::time_point endless_next_;
    std::chrono::steady_clock::time_point endless_until_;
    bool hang_up_pending_ = false;
    std::chrono::steady_clock::time_point line_in_done_;  // when paced input has all arrived
    std::chrono::steady_clock::time_point hang_up_due_;

    std::thread thread_;  // last, so everything it uses exists before it starts
};

}  // namespace nkq
