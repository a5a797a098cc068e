#pragma once
// The serial port: fixed line configuration and blocking, time-limited
// transfers. Only one thread uses a port at a time; the port has no lock.
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "serial/ComBuffer.h"
#include "serial/ComFlowControl.h"
#include "serial/ComParity.h"
#include "serial/ComPortTypes.h"
#include "serial/ComSettingsOwner.h"
#include "serial/ComTimeouts.h"
#include "serial/EComPort.h"
#include "serial/ReplyEnd.h"

namespace nkq {

class PortTrace;
class SerialDevice;
struct SerialTimeouts;

#ifdef _WIN32
inline constexpr const char* kDefaultPortName = "COM1";
#else
// Linux's first serial port stands where Windows has COM1.
inline constexpr const char* kDefaultPortName = "ttyS0";
#endif
inline constexpr int kSystemReadTimeout = 3000;

class TCustomComPort : public TComSettingsOwner {
public:
    // Class defaults: 9600 8N1, write time-out 100 ms per byte + 1000 ms, no
    // read time-out, all events watched.
    TCustomComPort();
    virtual ~TCustomComPort();
    TCustomComPort(const TCustomComPort&) = delete;
    TCustomComPort& operator=(const TCustomComPort&) = delete;

    // Open and closed are the only states; each call in the other state does nothing.
    void Open();
    void Close();
    bool Connected() const;
    void SetConnected(bool value);

    int Write(const void* Buffer, int Count);
    int WriteText(const std::string& Text);
    int Read(void* Buffer, int Count);
    int ReadText(std::string& Text, int Count);
    int BytesWaiting();
    void Purge(bool Input, bool Output);
    // Blocks until input is waiting or `timeout` has passed; true when input
    // is waiting, or the device hung up (which the next read reports).
    bool WaitForInput(std::chrono::milliseconds timeout);

    // How the command exchanges on this port end a reply; WhenQuiet unless
    // a front end chose otherwise (nkq --quick).
    ReplyEnd GetReplyEnd() const { return reply_end_; }
    void SetReplyEnd(ReplyEnd rule) { reply_end_ = rule; }
    // Received bytes seen waiting while the last Write's bytes were still
    // leaving the port: they cannot be an answer to them. 0 when none were
    // seen, or when the device cannot tell.
    int InputDuringLastWrite() const { return input_during_write_; }

    const std::string& Port() const { return port_; }
    // Exact comparison; while open a different name reopens the port under it.
    void SetPort(const std::string& value);
    TBaudRate BaudRate() const { return baud_rate_; }
    void SetBaudRate(TBaudRate value) { ChangeLineSetting(*this, baud_rate_, value); }
    TDataBits DataBits() const { return data_bits_; }
    void SetDataBits(TDataBits value) { ChangeLineSetting(*this, data_bits_, value); }
    TStopBits StopBits() const { return stop_bits_; }
    void SetStopBits(TStopBits value) { ChangeLineSetting(*this, stop_bits_, value); }

    TComParity& Parity() { return parity_; }
    const TComParity& Parity() const { return parity_; }
    TComFlowControl& FlowControl() { return flow_control_; }
    const TComFlowControl& FlowControl() const { return flow_control_; }
    TComTimeouts& Timeouts() { return timeouts_; }
    const TComTimeouts& Timeouts() const { return timeouts_; }
    TComBuffer& Buffer() { return buffer_; }
    const TComBuffer& Buffer() const { return buffer_; }

    // No monitor thread runs: these are stored only. DiscardNull reaches
    // the device with the line settings (termios cannot drop zero bytes).
    TComEvents Events() const { return events_; }
    void SetEvents(TComEvents value) { events_ = value; }
    std::uint8_t EventChar() const { return event_char_; }
    void SetEventChar(std::uint8_t value) { event_char_ = value; }
    bool DiscardNull() const { return discard_null_; }
    void SetDiscardNull(bool value) { ChangeLineSetting(*this, discard_null_, value); }
    TSyncMethod SyncMethod() const { return sync_method_; }
    void SetSyncMethod(TSyncMethod value) { sync_method_ = value; }

    TComPortHandlers Handlers;

    void ApplyLineSettings() override;

    // Every transfer, open and close is recorded in `trace` from now on;
    // null (the default) records nothing and costs one pointer test.
    void SetTrace(std::shared_ptr<PortTrace> trace) { trace_ = std::move(trace); }
    const std::shared_ptr<PortTrace>& Trace() const { return trace_; }

    // Called when the port is destroyed, so that a bound selector can forget it.
    int AddFreeNotification(std::function<void()> notify);
    void RemoveFreeNotification(int id);

private:
    void ApplyConfiguration();
    void ApplyTimeouts();
    void QueryModemStatus();
    void ReleaseDevice() noexcept;

    std::string port_ = kDefaultPortName;
    TBaudRate baud_rate_ = TBaudRate::br9600;
    TDataBits data_bits_ = TDataBits::dbEight;
    TStopBits stop_bits_ = TStopBits::sbOneStopBit;
    TComParity parity_{*this};
    TComFlowControl flow_control_{*this};
    TComTimeouts timeouts_{*this};
    TComBuffer buffer_{*this};
    TComEvents events_ = TComEvents::All();
    std::uint8_t event_char_ = 0;
    bool discard_null_ = false;
    TSyncMethod sync_method_ = TSyncMethod::smThreadSync;

    ReplyEnd reply_end_ = ReplyEnd::WhenQuiet;
    std::unique_ptr<SerialDevice> device_;
    std::unique_ptr<SerialTimeouts> applied_timeouts_;  // what the device holds now, when known
    int input_during_write_ = 0;
    std::shared_ptr<PortTrace> trace_;
    std::map<int, std::function<void()>> free_notifications_;
    int next_notification_ = 1;
};

// Which values a new TComPort starts with.
enum class TComPortSetup { ClassDefaults, System };

class TComPort : public TCustomComPort {
public:
    TComPort() = default;
    explicit TComPort(TComPortSetup setup);
};

// The workstation's fixed line: 115200 8N1, no flow control, DTR and RTS
// inactive, read time-out 3000 ms, write time-out 100 ms per byte + 1000 ms.
void ApplySystemConfiguration(TCustomComPort& port);

// Closes the port in a clean-up that must not raise, such as one that runs
// while another failure unwinds. A close that fails leaves the port open, as
// Close() does.
void CloseQuietly(TCustomComPort& port) noexcept;

// The bit rate that a TBaudRate value names (brCustom counts as 9600).
int BaudRateValue(TBaudRate rate);

}  // namespace nkq
