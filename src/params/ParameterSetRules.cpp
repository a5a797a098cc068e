// The window's enabling and model-text rules. They set state rather than being
// derived from the mode and the check box, because a start-up that fails before
// running them leaves the controls as built until the next time a rule runs.
#include "params/ParameterSet.h"

namespace nkq {

void ParameterSet::ApplyModeRule() {
    const bool client = mode_ == Mode::Client;
    const bool server = mode_ == Mode::Server;
    fields_.IPAddrEdit.SetEnabled(client);
    fields_.PortEdit.SetEnabled(client);
    fields_.IncomePortEdit.SetEnabled(server);
    for (std::size_t pair = 0; pair < kCheckPairs; ++pair) {
        fields_.IPAddr[pair].SetEnabled(server);
        fields_.Port[pair].SetEnabled(server);
    }
    SetShowStateEnabled(server);
}

void ParameterSet::ApplyParityRule() { fields_.ParityCombo.SetEnabled(parity_used_); }

void ParameterSet::UpdateModelLabel() {
    const std::string text = name_text_ + device_text_;
    if (text == model_text_) return;
    model_text_ = text;
    Notify(Item::ModelLabel, ChangeKind::Value);
}

void ParameterSet::ApplyStartupRules() {
    ApplyParityRule();
    ApplyModeRule();
    SetDeviceText({});
    SetNameText(NoConnectionText());
    UpdateModelLabel();
}

}  // namespace nkq
