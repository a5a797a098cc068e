#pragma once
#include <cstdint>

#include "serial/ComPortTypes.h"
#include "serial/ComSettingsOwner.h"

namespace nkq {

// Flow control and the modem output lines. CTS flow and RTS handshake map
// to CRTSCTS, the XON/XOFF flags and characters to IXON/IXOFF and
// VSTART/VSTOP, DTR/RTS control to the modem lines. DSR flow, DSR
// sensitivity, TxContinueOnXoff and RTS toggling have no termios
// counterpart and are only stored.
class TComFlowControl {
public:
    explicit TComFlowControl(TComSettingsOwner& owner) : owner_(owner) {}
    TComFlowControl(const TComFlowControl&) = delete;
    TComFlowControl& operator=(const TComFlowControl&) = delete;

    TComSettingsOwner& Owner() const { return owner_; }

    bool OutCTSFlow() const { return out_cts_flow_; }
    void SetOutCTSFlow(bool value) { ChangeLineSetting(owner_, out_cts_flow_, value); }
    bool OutDSRFlow() const { return out_dsr_flow_; }
    void SetOutDSRFlow(bool value) { out_dsr_flow_ = value; }
    TDTRFlowControl ControlDTR() const { return control_dtr_; }
    void SetControlDTR(TDTRFlowControl value) { ChangeLineSetting(owner_, control_dtr_, value); }
    TRTSFlowControl ControlRTS() const { return control_rts_; }
    void SetControlRTS(TRTSFlowControl value) { ChangeLineSetting(owner_, control_rts_, value); }
    bool XonXoffOut() const { return xon_xoff_out_; }
    void SetXonXoffOut(bool value) { ChangeLineSetting(owner_, xon_xoff_out_, value); }
    bool XonXoffIn() const { return xon_xoff_in_; }
    void SetXonXoffIn(bool value) { ChangeLineSetting(owner_, xon_xoff_in_, value); }
    bool DSRSensitivity() const { return dsr_sensitivity_; }
    void SetDSRSensitivity(bool value) { dsr_sensitivity_ = value; }
    bool TxContinueOnXoff() const { return tx_continue_on_xoff_; }
    void SetTxContinueOnXoff(bool value) { tx_continue_on_xoff_ = value; }
    std::uint8_t XonChar() const { return xon_char_; }
    void SetXonChar(std::uint8_t value) { ChangeLineSetting(owner_, xon_char_, value); }
    std::uint8_t XoffChar() const { return xoff_char_; }
    void SetXoffChar(std::uint8_t value) { ChangeLineSetting(owner_, xoff_char_, value); }

private:
    TComSettingsOwner& owner_;
    bool out_cts_flow_ = false;
    bool out_dsr_flow_ = false;
    TDTRFlowControl control_dtr_ = TDTRFlowControl::dtrDisable;
    TRTSFlowControl control_rts_ = TRTSFlowControl::rtsDisable;
    bool xon_xoff_out_ = false;
    bool xon_xoff_in_ = false;
    bool dsr_sensitivity_ = false;
    bool tx_continue_on_xoff_ = false;
    std::uint8_t xon_char_ = 0x11;
    std::uint8_t xoff_char_ = 0x13;
};

}  // namespace nkq
