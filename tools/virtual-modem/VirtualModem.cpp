#include "VirtualModem.h"

#include <sys/prctl.h>

#include <algorithm>
#include <cstdint>

namespace nkq {

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr auto kIdleRetry = 10ms;  // how often to look for a client while none has the slave open

}  // namespace

VirtualModem::VirtualModem(ModemSetup setup)
    : line_(setup.link_path, setup.trace_path),
      behaviour_(std::move(setup.behaviour)),
      protocol_(std::move(setup.parameters)),
      thread_([this] { Run(); }) {}

VirtualModem::~VirtualModem() { Stop(); }

void VirtualModem::Stop() {
    line_.RequestStop();
    if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) thread_.join();
}

// ---- accessors -------------------------------------------------------------

template <typename Read>
auto VirtualModem::Locked(Read read) const {
    std::lock_guard lock(mutex_);
    return read(protocol_);
}

ModemBehaviour VirtualModem::Behaviour() const {
    std::lock_guard lock(mutex_);
    return behaviour_;
}

void VirtualModem::SetBehaviour(const ModemBehaviour& behaviour) {
    UpdateBehaviour([&](ModemBehaviour& current) { current = behaviour; });
}

void VirtualModem::UpdateBehaviour(const std::function<void(ModemBehaviour&)>& change) {
    std::lock_guard lock(mutex_);
    change(behaviour_);
    ++behaviour_version_;
}

ModemParameters VirtualModem::Parameters() const {
    return Locked([](const ModemProtocol& p) { return p.Parameters(); });
}

void VirtualModem::SetParameters(const ModemParameters& parameters) {
    std::lock_guard lock(mutex_);
    protocol_.SetParameters(parameters);
}

ModemParameters VirtualModem::PendingParameters() const {
    return Locked([](const ModemProtocol& p) { return p.PendingParameters(); });
}

std::vector<std::string> VirtualModem::CommandLines() const {
    return Locked([](const ModemProtocol& p) { return p.CommandLines(); });
}

std::string VirtualModem::FirmwareImage() const {
    return Locked([](const ModemProtocol& p) { return p.FirmwareImage(); });
}

int VirtualModem::UploadsCompleted() const {
    return Locked([](const ModemProtocol& p) { return p.UploadsCompleted(); });
}

int VirtualModem::PacketsReceived() const {
    return Locked([](const ModemProtocol& p) { return p.PacketsReceived(); });
}

int VirtualModem::NaksSent() const {
    return Locked([](const ModemProtocol& p) { return p.NaksSent(); });
}

bool VirtualModem::TrafficStopped() const {
    return Locked([](const ModemProtocol& p) { return p.TrafficStopped(); });
}

bool VirtualModem::InWriteMode() const {
    return Locked([](const ModemProtocol& p) { return p.InWriteMode(); });
}

bool VirtualModem::LoaderActive() const {
    return Locked([](const ModemProtocol& p) { return p.LoaderActive(); });
}

bool VirtualModem::HungUp() const {
    std::lock_guard lock(mutex_);
    return hung_up_;
}

bool VirtualModem::WaitForCommandLines(std::size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return lines_handled_ >= count; });
}

bool VirtualModem::WaitForHangUp(std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return hung_up_; });
}

// ---- the modem's thread ------------------------------------------------------

void VirtualModem::Run() {
    // The default timer slack (50 us) would stretch every paced byte.
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    while (!line_.Stopping() && line_.Open()) {
        const auto event = line_.Wait(PollTimeoutMs());
        if (event == ModemLine::Event::Stopped) break;
        if (event == ModemLine::Event::Input && !ReadInput()) line_.Pause(kIdleRetry);
        if (event == ModemLine::Event::NoClient) {
            ForgetClient();
            line_.Pause(kIdleRetry);
        }
        if (trickle_.Active()) TrickleTick();
        if (hang_up_pending_ && Clock::now() >= hang_up_due_) HangUp();
    }
}

void VirtualModem::ForgetClient() {
    // A client that went away mid-line or mid-upload must not leave the next
    // one talking to a half-read line or to the loader.
    std::lock_guard lock(mutex_);
    protocol_.ClientGone();
}

int VirtualModem::PollTimeoutMs() const {
    if (!trickle_.Active() && !hang_up_pending_) return -1;
    const auto next = !hang_up_pending_    ? trickle_.NextDue()
                      : !trickle_.Active() ? hang_up_due_
                                           : std::min(trickle_.NextDue(), hang_up_due_);
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(next - Clock::now());
    return static_cast<int>(std::max<std::int64_t>(0, left.count()));
}

bool VirtualModem::ReadInput() {
    std::string bytes;
    if (!line_.Read(bytes)) return false;
    if (bytes.empty()) return true;
    if (hang_up_pending_) {
        HangUp();
        return true;
    }
    RefreshBehaviour();
    if (real_speed_) line_.AwaitDelivery(bytes.size());
    trickle_.Stop();  // any input ends a reply that would never end
    Feed(bytes);
    return true;
}

void VirtualModem::RefreshBehaviour() {
    // Copied only after a change: the copy allocates, and an upload reads
    // a packet at a time.
    std::lock_guard lock(mutex_);
    if (active_version_ == behaviour_version_) return;
    protocol_.SetBehaviour(behaviour_);
    real_speed_ = behaviour_.real_speed;
    active_version_ = behaviour_version_;
}

void VirtualModem::Feed(std::string_view bytes) {
    // Each answer is carried out before the next byte is taken, as a modem
    // busy answering reads nothing meanwhile.
    while (!bytes.empty() && line_.Open() && !hang_up_pending_) {
        ModemReaction reaction;
        {
            std::lock_guard lock(mutex_);
            reaction = protocol_.Feed(bytes);
        }
        bytes.remove_prefix(reaction.consumed);
        if (reaction.line_taken || reaction.packet_taken) changed_.notify_all();
        const bool carried_out = CarryOut(reaction.steps);
        if (reaction.line_taken) {
            {
                std::lock_guard lock(mutex_);
                ++lines_handled_;
            }
            changed_.notify_all();
        }
        if (!carried_out) return;
    }
}

bool VirtualModem::CarryOut(const std::vector<ModemStep>& steps) {
    for (const auto& step : steps) {
        if (!line_.Pause(step.wait)) return false;
        switch (step.kind) {
            case ModemStep::Kind::Send:
                line_.Send(step.bytes, real_speed_);
                break;
            case ModemStep::Kind::Trickle:
                trickle_.Start(step.bytes, step.limit, Clock::now());
                break;
            case ModemStep::Kind::HangUp:
                ScheduleHangUp(step.limit);
                break;
        }
    }
    return true;
}

void VirtualModem::TrickleTick() {
    const std::string chunk = trickle_.Take(Clock::now());
    if (!chunk.empty()) line_.Send(chunk, real_speed_);
}

void VirtualModem::ScheduleHangUp(std::chrono::milliseconds linger) {
    // A hang-up throws away what the client has not read yet, so the line is
    // held a while first, or until the client sends anything.
    hang_up_pending_ = true;
    hang_up_due_ = Clock::now() + linger;
    trickle_.Stop();
}

void VirtualModem::HangUp() {
    hang_up_pending_ = false;
    line_.HangUp();
    trickle_.Stop();
    {
        std::lock_guard lock(mutex_);
        protocol_.ClientGone();
        hung_up_ = true;
    }
    changed_.notify_all();
}

}  // namespace nkq
