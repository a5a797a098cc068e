#include "VirtualModem.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <system_error>

#include "protocol/ModemCommands.h"

namespace nkq {

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// The modem's own refusals; only their length and their not being the
// accepted reply matter to the workstation.
constexpr std::string_view kErrorReply = "ERROR\r";  // as long as "READY" + CR
constexpr std::string_view kRejectReply = "ER\r";    // as long as "OK" + CR
constexpr std::string_view kRs485Tail = "FC RS485\r";
static_assert(kRs485Tail.size() == modem::kRs485TailSize);
constexpr std::string_view kFlowControlKey = "COMFC";
constexpr std::string_view kInterfaceKey = "INTERFACE";
constexpr std::string_view kRs485Value = "RS485";
constexpr std::string_view kLineEnd = "\r\n";

constexpr auto kIdleRetry = 10ms;  // how often to look for a client while none has the slave open
constexpr auto kEndlessInterval = 50ms;
constexpr std::size_t kEndlessChunk = 16;
// One byte at 115200 bit/s with start and stop bit: 10 bits.
constexpr std::chrono::nanoseconds kByteTime{10'000'000'000LL / 115200};
constexpr std::size_t kPacedChunk = 8;

bool IsCommandWord(const std::string& line) {
    return line == modem::kStop || line == modem::kStart || line == modem::kGet || line == modem::kTcp ||
           line == modem::kCmd || line == modem::kUpdate;
}

}  // namespace

VirtualModem::WakePipe::WakePipe() {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
        throw std::system_error(errno, std::generic_category(), "pipe2");
    }
    read_fd = fds[0];
    write_fd = fds[1];
}

VirtualModem::WakePipe::~WakePipe() {
    close(read_fd);
    close(write_fd);
}

VirtualModem::VirtualModem(ModemSetup setup)
    : pty_(setup.link_path),
      link_path_(pty_.LinkPath()),
      trace_(setup.trace_path),
      behaviour_(setup.behaviour),
      parameters_(std::move(setup.parameters)),
      thread_([this] { Run(); }) {}

VirtualModem::~VirtualModem() {
    Stop();
}

void VirtualModem::Stop() {
    stopping_ = true;
    const char wake = 1;
    [[maybe_unused]] const auto written = write(wake_.write_fd, &wake, 1);
    if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) thread_.join();
}

// ---- accessors -------------------------------------------------------------

ModemBehaviour VirtualModem::Behaviour() const {
    std::lock_guard lock(mutex_);
    return behaviour_;
}

void VirtualModem::SetBehaviour(const ModemBehaviour& behaviour) {
    std::lock_guard lock(mutex_);
    behaviour_ = behaviour;
    ++behaviour_version_;
}

void VirtualModem::UpdateBehaviour(const std::function<void(ModemBehaviour&)>& change) {
    std::lock_guard lock(mutex_);
    change(behaviour_);
    ++behaviour_version_;
}

void VirtualModem::RefreshActiveBehaviour() {
    // Copied only after a change: the copy allocates, and an upload reads
    // a packet at a time.
    std::lock_guard lock(mutex_);
    if (active_version_ == behaviour_version_) return;
    active_ = behaviour_;
    active_version_ = behaviour_version_;
}

ModemParameters VirtualModem::Parameters() const {
    std::lock_guard lock(mutex_);
    return parameters_;
}

void VirtualModem::SetParameters(const ModemParameters& parameters) {
    std::lock_guard lock(mutex_);
    parameters_ = parameters;
}

ModemParameters VirtualModem::PendingParameters() const {
    std::lock_guard lock(mutex_);
    return pending_;
}

std::vector<std::string> VirtualModem::CommandLines() const {
    std::lock_guard lock(mutex_);
    return lines_;
}

std::string VirtualModem::FirmwareImage() const {
    std::lock_guard lock(mutex_);
    return image_;
}

int VirtualModem::UploadsCompleted() const {
    std::lock_guard lock(mutex_);
    return uploads_;
}

int VirtualModem::PacketsReceived() const {
    std::lock_guard lock(mutex_);
    return packets_;
}

int VirtualModem::NaksSent() const {
    std::lock_guard lock(mutex_);
    return naks_;
}

bool VirtualModem::WaitForCommandLines(std::size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return lines_handled_ >= count; });
}

bool VirtualModem::WaitForHangUp(std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return hung_up_.load(); });
}

// ---- the modem's thread ------------------------------------------------------

void VirtualModem::Run() {
    // The default timer slack (50 us) would stretch every paced byte.
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    while (!stopping_ && pty_.MasterOpen()) {
        pollfd fds[2] = {{pty_.MasterFd(), POLLIN, 0}, {wake_.read_fd, POLLIN, 0}};
        if (poll(fds, 2, PollTimeoutMs()) < 0 && errno != EINTR) break;
        if (fds[1].revents != 0) break;
        if ((fds[0].revents & POLLIN) != 0) {
            if (!ReadInput()) Pause(kIdleRetry);
        } else if ((fds[0].revents & (POLLHUP | POLLERR)) != 0) {
            // No client has the slave open; the master reports a hang-up
            // until one opens it again.
            ForgetClient();
            Pause(kIdleRetry);
        }
        if (endless_active_) EndlessTick();
        if (hang_up_pending_ && Clock::now() >= hang_up_due_) HangUp();
    }
}

void VirtualModem::ForgetClient() {
    // A client that went away mid-line or mid-upload must not leave the next
    // one talking to a half-read line or to the loader.
    line_reader_.Clear();
    if (loader_.Active()) loader_ = FirmwareLoader{};
    loader_active_ = false;
}

int VirtualModem::PollTimeoutMs() const {
    if (!endless_active_ && !hang_up_pending_) return -1;
    const auto next = !hang_up_pending_  ? endless_next_
                      : !endless_active_ ? hang_up_due_
                                         : std::min(endless_next_, hang_up_due_);
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(next - Clock::now());
    return static_cast<int>(std::max<std::int64_t>(0, left.count()));
}

bool VirtualModem::ReadInput() {
    char buffer[4096];
    const auto count = read(pty_.MasterFd(), buffer, sizeof buffer);
    if (count <= 0) return count < 0 && (errno == EAGAIN || errno == EINTR);
    const std::string bytes(buffer, static_cast<std::size_t>(count));
    trace_.Record(TraceDirection::ToModem, bytes);
    if (hang_up_pending_) {
        HangUp();
        return true;
    }
    RefreshActiveBehaviour();
    if (active_.real_speed) AwaitLineDelivery(bytes.size());
    endless_active_ = false;  // any input ends a reply that would never end
    for (const char byte : bytes) FeedByte(byte);
    return true;
}

void VirtualModem::FeedByte(char byte) {
    if (!pty_.MasterOpen() || hang_up_pending_) return;
    if (loader_.Active()) {
        FeedLoader(byte);
    } else {
        FeedLine(byte);
    }
}

void VirtualModem::FeedLine(char byte) {
    if (auto line = line_reader_.Feed(byte)) HandleLine(*line);
}

void VirtualModem::HandleLine(const std::string& line) {
    {
        std::lock_guard lock(mutex_);
        lines_.push_back(line);
    }
    changed_.notify_all();
    if (write_mode_) {
        HandleWriteModeLine(line);
    } else {
        HandleCommand(line);
    }
    {
        std::lock_guard lock(mutex_);
        ++lines_handled_;
    }
    changed_.notify_all();
}

void VirtualModem::HandleCommand(const std::string& line) {
    if (line == modem::kStop) {
        traffic_stopped_ = true;
    } else if (line == modem::kStart) {
        traffic_stopped_ = false;
    } else if (line == modem::kGet) {
        AnswerGet();
    } else if (line == modem::kTcp) {
        AnswerTcp();
    } else if (line == modem::kCmd) {
        AnswerCmd();
    } else if (line == modem::kUpdate) {
        AnswerUpdate();
    } else {
        Reply(std::string(kErrorReply));
    }
}

void VirtualModem::HandleWriteModeLine(const std::string& line) {
    if (line == modem::kSave) {
        AnswerSave();
        return;
    }
    if (!IsCommandWord(line)) {
        AnswerParameterLine(line);
        return;
    }
    // Any command ends the write session; lines not saved are forgotten.
    {
        std::lock_guard lock(mutex_);
        pending_.Clear();
    }
    write_mode_ = false;
    HandleCommand(line);
}

std::string VirtualModem::GetReplyText() const {
    std::string text;
    bool interface_listed = false;
    const ModemParameters parameters = Parameters();
    for (const auto& [key, value] : parameters.Entries()) {
        const bool is_interface = key == kInterfaceKey;
        interface_listed = interface_listed || is_interface;
        text += key + " " + (is_interface && active_.rs485 ? std::string(kRs485Value) : value);
        text += kLineEnd;
    }
    if (active_.rs485 && !interface_listed) {
        text += std::string(kInterfaceKey) + " " + std::string(kRs485Value) + std::string(kLineEnd);
    }
    return text + std::string(modem::kReplyEndLine) + std::string(kLineEnd);
}

void VirtualModem::AnswerGet() {
    const std::string text = GetReplyText();
    if (!DelayReply()) return;
    if (active_.hang_up_after_get_bytes > 0) {
        Send(text.substr(0, active_.hang_up_after_get_bytes));
        ScheduleHangUp();
    } else if (active_.endless_reply) {
        StartEndless(text.substr(0, text.size() - modem::kReplyEndLine.size() - kLineEnd.size()));
    } else {
        SendInBursts(text);
    }
}

void VirtualModem::AnswerTcp() {
    std::string text;
    for (const auto& connection : active_.connections) {
        text += std::string(modem::kConnectionLine) + " " + connection + std::string(kLineEnd);
    }
    text += std::string(modem::kReplyEndLine) + std::string(kLineEnd);
    if (DelayReply()) SendInBursts(text);
}

void VirtualModem::AnswerCmd() {
    if (active_.refuse_cmd) {
        Reply(std::string(kErrorReply));
        return;
    }
    {
        std::lock_guard lock(mutex_);
        pending_.Clear();
    }
    write_mode_ = true;
    lines_answered_ = 0;
    session_lines_ = 0;
    ReplyAndRepeat(std::string(modem::kReadyReply), active_.repeat_ready);
}

void VirtualModem::AnswerParameterLine(const std::string& line) {
    const auto [key, value] = ModemParameters::SplitLine(line);
    const bool repeated = ++session_lines_ == active_.repeat_line_ack;
    if (!active_.reject_key.empty() && key == active_.reject_key) {
        ReplyAndRepeat(std::string(kRejectReply), repeated);
        return;
    }
    if (active_.rs485 && key == kFlowControlKey) {
        // Flow control does not exist on RS485; the line is not kept.
        ReplyAndRepeat(std::string(modem::kRs485ReplyStart) + std::string(kRs485Tail), repeated);
    } else {
        {
            std::lock_guard lock(mutex_);
            pending_.Set(key, value);
        }
        ReplyAndRepeat(std::string(modem::kOkReply), repeated);
    }
    ++lines_answered_;
    if (active_.hang_up_after_lines > 0 && lines_answered_ >= active_.hang_up_after_lines) ScheduleHangUp();
}

void VirtualModem::AnswerSave() {
    if (active_.bad_save) {
        Reply(std::string(kRejectReply));
        return;
    }
    {
        std::lock_guard lock(mutex_);
        parameters_.Merge(pending_);
        pending_.Clear();
    }
    ReplyAndRepeat(std::string(modem::kOkReply), active_.repeat_save);
}

void VirtualModem::AnswerUpdate() {
    if (active_.no_update_reply) return;
    loader_.Begin();
    loader_active_ = true;
    packets_accepted_ = 0;
    Reply(std::string(1, modem::kAccepted));
}

void VirtualModem::FeedLoader(char byte) {
    const int block_number = loader_.BlocksStored() + 1;
    auto outcome = loader_.Feed(byte, active_);
    loader_active_ = loader_.Active();
    if (outcome.byte_not_taken) {
        FeedLine(byte);
        return;
    }
    if (outcome.packet_received || outcome.image_complete) {
        {
            std::lock_guard lock(mutex_);
            packets_ += outcome.packet_received ? 1 : 0;
            naks_ += outcome.nak_sent ? 1 : 0;
            if (outcome.image_complete) {
                image_ = loader_.TakeImage();
                ++uploads_;
            }
        }
        changed_.notify_all();
    }
    if (outcome.answer) {
        const bool repeated = outcome.packet_received ? block_number == active_.repeat_block_ack
                                                      : outcome.count_received && active_.repeat_count_ack;
        AnswerLoader(*outcome.answer, outcome.packet_received ? block_number : 0, repeated);
    }
    if (!outcome.packet_accepted) return;
    ++packets_accepted_;
    if (active_.hang_up_after_packets > 0 && packets_accepted_ >= active_.hang_up_after_packets)
        ScheduleHangUp();
}

void VirtualModem::AnswerLoader(char answer, int block_number, bool repeated) {
    std::string reply(1, answer);
    if (block_number > 0 && block_number == active_.doubled_ack_block) reply += answer;
    if (block_number > 0 && block_number == active_.late_ack_block && !Pause(active_.late_ack_delay)) return;
    ReplyAndRepeat(reply, repeated);
}

// ---- sending -----------------------------------------------------------------

bool VirtualModem::Pause(std::chrono::nanoseconds duration) {
    // A signal ends ppoll early; the pause still runs its whole length, or
    // a reply delay or the line's pace would shrink under a signal storm.
    const auto due = Clock::now() + duration;
    for (;;) {
        const auto left = std::max(std::chrono::nanoseconds::zero(), due - Clock::now());
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(left);
        const timespec wait{static_cast<time_t>(seconds.count()),
                            static_cast<long>((left - seconds).count())};
        pollfd wake{wake_.read_fd, POLLIN, 0};
        const int woken = ppoll(&wake, 1, &wait, nullptr);
        if (woken > 0 || stopping_) return !stopping_;
        if (woken == 0 || Clock::now() >= due) return true;
    }
}

void VirtualModem::AwaitLineDelivery(std::size_t count) {
    // Bytes a client hands over at once still take the line's time to
    // arrive; the modem can only act on them after the last one is in.
    const auto now = Clock::now();
    line_in_done_ = std::max(line_in_done_, now) + kByteTime * static_cast<long>(count);
    Pause(line_in_done_ - now);
}

bool VirtualModem::DelayReply() {
    if (active_.reply_delay.count() <= 0) return !stopping_;
    return Pause(active_.reply_delay);
}

void VirtualModem::Reply(const std::string& text) {
    if (DelayReply()) Send(text);
}

void VirtualModem::ReplyAndRepeat(const std::string& text, bool repeated) {
    if (!DelayReply()) return;
    Send(text);
    if (repeated && Pause(active_.repeat_delay)) Send(text);
}

void VirtualModem::SendInBursts(const std::string& text) {
    if (active_.burst_gap.count() <= 0 || text.size() < 2) {
        Send(text);
        return;
    }
    const std::size_t split =
        active_.burst_split > 0 ? std::min(active_.burst_split, text.size()) : text.size() / 2;
    Send(text.substr(0, split));
    if (Pause(active_.burst_gap)) Send(text.substr(split));
}

void VirtualModem::Send(const std::string& text) {
    if (active_.silent || !pty_.MasterOpen()) return;
    if (!active_.real_speed) {
        trace_.Record(TraceDirection::FromModem, text.substr(0, WriteAll(text.data(), text.size())));
        return;
    }
    // A byte is there only once its last bit is: wait first, then hand it over.
    const auto start = Clock::now();
    for (std::size_t offset = 0; offset < text.size(); offset += kPacedChunk) {
        const auto chunk = text.substr(offset, kPacedChunk);
        const auto due = start + kByteTime * static_cast<long>(offset + chunk.size());
        if (!Pause(std::max(std::chrono::nanoseconds::zero(), due - Clock::now()))) return;
        const auto written = WriteAll(chunk.data(), chunk.size());
        trace_.Record(TraceDirection::FromModem, chunk.substr(0, written));
        if (written < chunk.size()) return;
    }
}

std::size_t VirtualModem::WriteAll(const char* data, std::size_t size) {
    std::size_t done = 0;
    while (done < size && !stopping_) {
        const auto count = write(pty_.MasterFd(), data + done, size - done);
        if (count > 0) {
            done += static_cast<std::size_t>(count);
            continue;
        }
        if (count < 0 && errno == EINTR) continue;
        if (count == 0 || errno != EAGAIN) break;
        // The client is not reading; wait for room, but give the bytes up
        // when no client has the line open at all.
        pollfd room{pty_.MasterFd(), POLLOUT, 0};
        poll(&room, 1, 50);
        if ((room.revents & POLLHUP) != 0 && (room.revents & POLLOUT) == 0) break;
    }
    return done;
}

void VirtualModem::StartEndless(const std::string& text) {
    if (text.empty()) return;
    endless_text_ = text;
    endless_position_ = 0;
    endless_next_ = Clock::now();
    endless_until_ = endless_next_ + active_.endless_limit;
    endless_active_ = true;
}

void VirtualModem::EndlessTick() {
    const auto now = Clock::now();
    if (now >= endless_until_) {
        endless_active_ = false;
        return;
    }
    if (now < endless_next_) return;
    std::string chunk;
    for (std::size_t i = 0; i < kEndlessChunk; ++i) {
        chunk += endless_text_[endless_position_];
        endless_position_ = (endless_position_ + 1) % endless_text_.size();
    }
    Send(chunk);
    endless_next_ += kEndlessInterval;
}

void VirtualModem::ScheduleHangUp() {
    hang_up_pending_ = true;
    hang_up_due_ = Clock::now() + active_.hang_up_linger;
    endless_active_ = false;
}

void VirtualModem::HangUp() {
    hang_up_pending_ = false;
    pty_.CloseMaster();
    endless_active_ = false;
    loader_active_ = false;
    {
        std::lock_guard lock(mutex_);
        hung_up_ = true;
    }
    changed_.notify_all();
}

}  // namespace nkq
