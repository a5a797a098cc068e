#pragma once
// The parameter set the main window shows, held apart from the window so that
// the parameter lines, the modem operations and the settings files run without
// one. The window mirrors it: every change is announced to one listener with
// the control it concerns, and the window's enabling rules live here as state.
#include <functional>
#include <string>

#include "params/ParameterFields.h"
#include "params/ParameterItem.h"

namespace nkq {

enum class Mode { Client, Server, Modem };

class ParameterSet {
public:
    using Listener = std::function<void(Item, ChangeKind)>;

    // As the window is built: every control enabled (except the modem radio
    // button and the version display) until ApplyStartupRules runs.
    ParameterSet();
    ParameterSet(const ParameterSet&) = delete;
    ParameterSet& operator=(const ParameterSet&) = delete;

    void SetListener(Listener listener) { listener_ = std::move(listener); }

    ParameterFields& Fields() { return fields_; }
    const ParameterFields& Fields() const { return fields_; }

    Mode GetMode() const { return mode_; }
    // Selecting a mode, by the operator or a MODE line, always runs the mode rule.
    void SelectMode(Mode mode);

    bool ParityUsed() const { return parity_used_; }
    // The check box changed: the parity rule always follows.
    void SetParityUsed(bool used);

    bool FlowControlAvailable() const { return fields_.FlowCombo.Enabled(); }
    void SetFlowControlAvailable(bool available) { fields_.FlowCombo.SetEnabled(available); }

    bool ShowStateEnabled() const { return show_state_enabled_; }
    // Only a MODE line can select modem mode; the operator never can.
    static constexpr bool ModemRadioEnabled() { return false; }

    const std::string& NameText() const { return name_text_; }
    void SetNameText(const std::string& text);
    const std::string& DeviceText() const { return device_text_; }
    void SetDeviceText(const std::string& text);

    // 0..5; other values are brought into that range.
    int Level() const { return level_; }
    void SetLevel(int level);

    // What the model label shows; changes only through UpdateModelLabel.
    const std::string& ModelText() const { return model_text_; }
    void UpdateModelLabel();

    // Mode rule: the client fields are enabled in client mode, the server
    // fields and the status button in server mode.
    void ApplyModeRule();
    // Parity rule: the parity kind list is enabled exactly when parity is used.
    void ApplyParityRule();
    // The window's creation rules after the firmware file name is loaded.
    void ApplyStartupRules();

    // "Нет подключения к устройству" as Windows-1251 bytes.
    static const std::string& NoConnectionText();

private:
    void WireFields();
    void SetShowStateEnabled(bool enabled);
    void Notify(Item item, ChangeKind kind) const;

    ParameterFields fields_;
    Mode mode_ = Mode::Client;
    bool parity_used_ = false;
    bool show_state_enabled_ = true;
    std::string name_text_;
    std::string device_text_;
    int level_ = 0;
    std::string model_text_ = "ModelLabel";
    Listener listener_;
};

}  // namespace nkq
