#include "serial/ComPort.h"

#include <system_error>
#include <vector>

#include "SerialDevice.h"
#include "serial/PortTrace.h"

namespace nkq {

namespace {

// Runs a device call and turns its system error into the port's failure kind.
template <class Call>
auto Guarded(int message_code, Call&& call) -> decltype(call()) {
    try {
        return call();
    } catch (const SerialDeviceError& error) {
        const EComPort plain(message_code, error.code().value());
        throw EComPort(message_code, error.code().value(), plain.Message() + ": " + error.Detail());
    } catch (const std::system_error& error) {
        throw EComPort(message_code, error.code().value());
    }
}

void Notify(const std::function<void()>& handler) {
    if (handler) handler();
}

SerialLine LineOf(const TCustomComPort& port) {
    SerialLine line;
    line.baud_rate = BaudRateValue(port.BaudRate());
    line.data_bits = 5 + static_cast<int>(port.DataBits());
    line.stop_bits = port.StopBits();
    line.parity = port.Parity().Bits();
    line.parity_check = port.Parity().Check();
    const TComFlowControl& flow = port.FlowControl();
    line.cts_flow = flow.OutCTSFlow();
    line.dsr_flow = flow.OutDSRFlow();
    line.xon_xoff_out = flow.XonXoffOut();
    line.xon_xoff_in = flow.XonXoffIn();
    line.xon_char = flow.XonChar();
    line.xoff_char = flow.XoffChar();
    line.dtr = flow.ControlDTR();
    line.rts = flow.ControlRTS();
    line.discard_null = port.DiscardNull();
    line.input_queue = port.Buffer().InputSize();
    return line;
}

SerialTimeouts TimeoutsOf(const TComTimeouts& timeouts) {
    return {timeouts.ReadInterval(), timeouts.ReadTotalMultiplier(), timeouts.ReadTotalConstant(),
            timeouts.WriteTotalMultiplier(), timeouts.WriteTotalConstant()};
}

}  // namespace

int BaudRateValue(TBaudRate rate) {
    static constexpr int kValues[] = {9600,  110,   300,   600,   1200,  2400,   4800,   9600,
                                      14400, 19200, 38400, 56000, 57600, 115200, 128000, 256000};
    return kValues[static_cast<int>(rate)];
}

void CloseQuietly(TCustomComPort& port) noexcept {
    try {
        port.Close();
    } catch (...) {
        // The failure that is unwinding is the one the operator must hear about.
    }
}

TCustomComPort::TCustomComPort() = default;

TCustomComPort::~TCustomComPort() {
    try {
        Close();
    } catch (...) {
        // A destructor must not throw; the device is released below anyway.
    }
    ReleaseDevice();
    const auto notifications = std::move(free_notifications_);
    for (const auto& [id, notify] : notifications) {
        try {
            notify();
        } catch (...) {
        }
    }
}

void TCustomComPort::ReleaseDevice() noexcept { device_.reset(); }

bool TCustomComPort::Connected() const { return device_ != nullptr; }

void TCustomComPort::SetConnected(bool value) {
    if (value) {
        Open();
    } else {
        Close();
    }
}

void TCustomComPort::Open() {
    if (device_) return;
    Notify(Handlers.OnBeforeOpen);
    try {
        device_ = Guarded(kComOpenFailed, [&] { return OpenSerialDevice(port_); });
    } catch (const EComPort& error) {
        if (trace_) trace_->Note(port_, "open failed: " + error.Message());
        throw;
    }
    if (trace_) trace_->Note(port_, "open");
    try {
        ApplyConfiguration();
    } catch (...) {
        ReleaseDevice();
        throw;
    }
    // A failing status query leaves the port open, as the line is usable.
    QueryModemStatus();
    Notify(Handlers.OnAfterOpen);
}

void TCustomComPort::ApplyConfiguration() {
    Guarded(kComSetupFailed, [&] { device_->SetQueueSizes(buffer_.InputSize(), buffer_.OutputSize()); });
    ApplyLineSettings();
    applied_timeouts_.reset();
    ApplyTimeouts();
}

// The time-outs count from the next transfer on, so each transfer brings the
// device up to date when they have changed since the last one.
void TCustomComPort::ApplyTimeouts() {
    const SerialTimeouts wanted = TimeoutsOf(timeouts_);
    if (applied_timeouts_ && *applied_timeouts_ == wanted) return;
    Guarded(kComSetTimeoutsFailed, [&] { device_->ApplyTimeouts(wanted); });
    applied_timeouts_ = std::make_unique<SerialTimeouts>(wanted);
}

void TCustomComPort::ApplyLineSettings() {
    if (!device_) return;
    Guarded(kComSetStateFailed, [&] { device_->ApplyLine(LineOf(*this)); });
}

void TCustomComPort::QueryModemStatus() {
    Guarded(kComModemStatusFailed, [&] { return device_->ModemStatus(); });
}

void TCustomComPort::Close() {
    if (!device_) return;
    Notify(Handlers.OnBeforeClose);
    try {
        // Output that a write already handed to the line must still reach the
        // modem (the last "START" of every operation); only bytes a stalled
        // write left behind are dropped, so that closing cannot block on them.
        // On a pseudo-terminal flushing output would discard what the other
        // side has not read yet.
        device_->Flush(true, device_->OutputQueued() > 0);
    } catch (const std::system_error& error) {
        // A device that has gone away is released all the same; otherwise
        // the port could never be closed or reopened after the device
        // returns.
        if (!IsDeviceGoneError(error.code().value())) throw EComPort(kComPurgeFailed, error.code().value());
    }
    ReleaseDevice();
    if (trace_) trace_->Note(port_, "close");
    Notify(Handlers.OnAfterClose);
}

void TCustomComPort::SetPort(const std::string& value) {
    if (value == port_) return;
    const bool reopen = Connected();
    Close();
    port_ = value;
    if (reopen) Open();
}

int TCustomComPort::Write(const void* Buffer, int Count) {
    input_during_write_ = 0;
    if (!device_) throw EComPort(kComWriteFailed, kInvalidHandleError);
    if (Count <= 0) return 0;
    ApplyTimeouts();
    // A private copy: the caller's buffer may change once we return.
    const auto* bytes = static_cast<const unsigned char*>(Buffer);
    const std::vector<unsigned char> copy(bytes, bytes + Count);
    return Guarded(kComWriteFailed, [&] {
        const SerialWrite written = device_->Write(copy.data(), copy.size());
        const std::size_t done = written.written;
        input_during_write_ = written.input_while_sending;
        if (trace_) trace_->Record(port_, PortTrace::Direction::Sent, copy.data(), done);
        return static_cast<int>(done);
    });
}

int TCustomComPort::WriteText(const std::string& Text) {
    if (Text.empty()) return 0;
    return Write(Text.data(), static_cast<int>(Text.size()));
}

int TCustomComPort::Read(void* Buffer, int Count) {
    if (!device_) throw EComPort(kComReadFailed, kInvalidHandleError);
    if (Count <= 0) return 0;
    ApplyTimeouts();
    auto* bytes = static_cast<unsigned char*>(Buffer);
    const int got = Guarded(kComReadFailed, [&] {
        const std::size_t got = device_->Read(bytes, static_cast<std::size_t>(Count));
        if (trace_) trace_->Record(port_, PortTrace::Direction::Received, bytes, got);
        return static_cast<int>(got);
    });
    // The status query that ends every read; its result would only feed
    // notifications, of which none are attached.
    Guarded(kComClearErrorFailed, [&] { return device_->BytesWaiting(); });
    return got;
}

int TCustomComPort::ReadText(std::string& Text, int Count) {
    if (Count <= 0) {
        Text.clear();
        return 0;
    }
    std::string received(static_cast<std::size_t>(Count), '\0');
    const int got = Read(received.data(), Count);
    received.resize(static_cast<std::size_t>(got));
    Text = std::move(received);
    return got;
}

int TCustomComPort::BytesWaiting() {
    if (!device_) throw EComPort(kComClearErrorFailed, kInvalidHandleError);
    return Guarded(kComClearErrorFailed, [&] { return device_->BytesWaiting(); });
}

bool TCustomComPort::WaitForInput(std::chrono::milliseconds timeout) {
    if (!device_) throw EComPort(kComReadFailed, kInvalidHandleError);
    return Guarded(kComReadFailed, [&] { return device_->WaitForInput(timeout); });
}

void TCustomComPort::Purge(bool Input, bool Output) {
    if (!device_) throw EComPort(kComPurgeFailed, kInvalidHandleError);
    Guarded(kComPurgeFailed, [&] { device_->Flush(Input, Output); });
}

int TCustomComPort::AddFreeNotification(std::function<void()> notify) {
    const int id = next_notification_++;
    free_notifications_.emplace(id, std::move(notify));
    return id;
}

void TCustomComPort::RemoveFreeNotification(int id) { free_notifications_.erase(id); }

TComPort::TComPort(TComPortSetup setup) {
    if (setup == TComPortSetup::System) ApplySystemConfiguration(*this);
}

void ApplySystemConfiguration(TCustomComPort& port) {
    port.SetPort(kDefaultPortName);
    port.SetBaudRate(TBaudRate::br115200);
    port.SetDataBits(TDataBits::dbEight);
    port.SetStopBits(TStopBits::sbOneStopBit);
    port.Parity().SetBits(TParityBits::prNone);
    port.FlowControl().SetControlDTR(TDTRFlowControl::dtrDisable);
    port.FlowControl().SetControlRTS(TRTSFlowControl::rtsDisable);
    port.Timeouts().SetReadInterval(TComTimeouts::kNoInterval);
    port.Timeouts().SetReadTotalMultiplier(0);
    port.Timeouts().SetReadTotalConstant(kSystemReadTimeout);
    port.Timeouts().SetWriteTotalMultiplier(100);
    port.Timeouts().SetWriteTotalConstant(1000);
}

}  // namespace nkq
