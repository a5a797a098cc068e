#pragma once
// Names of the window controls (and the two name texts) whose state the
// parameter set holds; a change notice carries one of them.
#include <cstddef>

namespace nkq {

enum class Item {
    ModelLabel,
    LevelMeter,
    RateCombo,
    BitsCombo,
    ParityCheckBox,
    ParityCombo,
    StopCombo,
    FlowCombo,
    ModemRadio,
    ClientRadio,
    ServerRadio,
    IPAddrEdit,
    PortEdit,
    IncomePortEdit,
    IPAddr1,
    IPAddr2,
    IPAddr3,
    IPAddr4,
    IPAddr5,
    Port1,
    Port2,
    Port3,
    Port4,
    Port5,
    ShowStateButton,
    APNEdit,
    LoginEdit,
    PasswordEdit,
    IdleEdit,
    VersionEdit,
    NameText,
    DeviceText,
};

// The check address and port items of pair 0..4.
inline Item CheckAddressItem(std::size_t pair) {
    return static_cast<Item>(static_cast<std::size_t>(Item::IPAddr1) + pair);
}
inline Item CheckPortItem(std::size_t pair) {
    return static_cast<Item>(static_cast<std::size_t>(Item::Port1) + pair);
}

}  // namespace nkq
