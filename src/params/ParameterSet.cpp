#include "params/ParameterSet.h"

#include <algorithm>

#include "app/Cp1251.h"

namespace nkq {

ParameterSet::ParameterSet() { WireFields(); }

void ParameterSet::WireFields() {
    auto wire = [this](Field& field, Item item) {
        field.SetChangeHook([this, item](ChangeKind kind) { Notify(item, kind); });
    };
    wire(fields_.RateCombo, Item::RateCombo);
    wire(fields_.BitsCombo, Item::BitsCombo);
    wire(fields_.ParityCombo, Item::ParityCombo);
    wire(fields_.StopCombo, Item::StopCombo);
    wire(fields_.FlowCombo, Item::FlowCombo);
    wire(fields_.IPAddrEdit, Item::IPAddrEdit);
    wire(fields_.PortEdit, Item::PortEdit);
    wire(fields_.IncomePortEdit, Item::IncomePortEdit);
    for (std::size_t pair = 0; pair < kCheckPairs; ++pair) {
        wire(fields_.IPAddr[pair], CheckAddressItem(pair));
        wire(fields_.Port[pair], CheckPortItem(pair));
    }
    wire(fields_.IdleEdit, Item::IdleEdit);
    wire(fields_.APNEdit, Item::APNEdit);
    wire(fields_.LoginEdit, Item::LoginEdit);
    wire(fields_.PasswordEdit, Item::PasswordEdit);
    wire(fields_.VersionEdit, Item::VersionEdit);
}

void ParameterSet::Notify(Item item, ChangeKind kind) const {
    if (listener_) listener_(item, kind);
}

void ParameterSet::SelectMode(Mode mode) {
    const Mode previous = mode_;
    mode_ = mode;
    if (previous != mode) {
        auto radio = [](Mode m) {
            return m == Mode::Client   ? Item::ClientRadio
                   : m == Mode::Server ? Item::ServerRadio
                                       : Item::ModemRadio;
        };
        Notify(radio(previous), ChangeKind::Value);
        Notify(radio(mode), ChangeKind::Value);
    }
    ApplyModeRule();
}

void ParameterSet::SetParityUsed(bool used) {
    if (parity_used_ != used) {
        parity_used_ = used;
        Notify(Item::ParityCheckBox, ChangeKind::Value);
    }
    ApplyParityRule();
}

void ParameterSet::SetNameText(const std::string& text) {
    if (text == name_text_) return;
    name_text_ = text;
    Notify(Item::NameText, ChangeKind::Value);
}

void ParameterSet::SetDeviceText(const std::string& text) {
    if (text == device_text_) return;
    device_text_ = text;
    Notify(Item::DeviceText, ChangeKind::Value);
}

void ParameterSet::SetLevel(int level) {
    const int clamped = std::clamp(level, 0, 5);
    if (clamped == level_) return;
    level_ = clamped;
    Notify(Item::LevelMeter, ChangeKind::Value);
}

void ParameterSet::SetShowStateEnabled(bool enabled) {
    if (enabled == show_state_enabled_) return;
    show_state_enabled_ = enabled;
    Notify(Item::ShowStateButton, ChangeKind::Enabled);
}

const std::string& ParameterSet::NoConnectionText() {
    static const std::string text = Utf8ToCp1251("Нет подключения к устройству");
    return text;
}

}  // namespace nkq
