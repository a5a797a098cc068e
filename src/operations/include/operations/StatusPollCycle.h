#pragma once
// The polls of the status window, driven by the window's timer: the first
// poll one interval after the window opens, each later one a full interval
// after the previous poll ended. The window owns the real timer; it starts
// or stops it as TimerRunning() says after every call here.
#include <chrono>
#include <functional>
#include <string>

namespace nkq {

class Operator;
class TCustomComPort;

class StatusPollCycle {
public:
    using TextListener = std::function<void(const std::string& text)>;

    // `port` is the open port of the status session; not owned. `on_text`
    // hears every new content of the text box (UTF-8).
    StatusPollCycle(TCustomComPort& port, Operator& op, TextListener on_text = {});

    // The window is shown: the timer starts a full interval.
    void Opened();
    // The window is closing: no further poll, even from a tick already queued.
    void Closed();

    // One poll (the window's timer tick): stops the timer, asks "TCP", shows
    // the connections, restarts the timer. A failure goes to the caller with
    // the timer left stopped, so a silent modem is not asked again; after a
    // time-out the text keeps its content and the port stays open for the
    // "START" that ends the session.
    void TimerFired();

    // Sends `command`, keeps the trimmed reply in FAnswer. On silence:
    // "Тайм-аут" and the silent abort.
    bool QueryState(const std::string& command);

    bool TimerRunning() const { return timer_running_; }
    // Whether any poll of this cycle failed.
    bool PollFailed() const { return poll_failed_; }
    std::chrono::milliseconds Interval() const;
    const std::string& Text() const { return text_; }
    const std::string& FAnswer() const { return answer_; }

private:
    void SetText(std::string text);

    TCustomComPort& port_;
    Operator& op_;
    TextListener on_text_;
    bool timer_running_ = false;
    bool closed_ = false;
    bool poll_failed_ = false;
    std::string text_;
    std::string answer_;
};

}  // namespace nkq
