#pragma once
// The field objects of the parameter set, one per window control, with the
// entries, ranges, typing limits and values the window is built with.
#include <array>

#include "params/ComboField.h"
#include "params/IpAddressField.h"
#include "params/NumericField.h"
#include "params/TextField.h"

namespace nkq {

inline constexpr std::size_t kCheckPairs = 5;

struct ParameterFields {
    ParameterFields();

    ComboField RateCombo;
    ComboField BitsCombo;
    ComboField ParityCombo;
    ComboField StopCombo;
    ComboField FlowCombo;  // enabled exactly while flow control is available

    IpAddressField IPAddrEdit;
    NumericField PortEdit{0, 65535, 0};
    NumericField IncomePortEdit{0, 65535, 0};
    std::array<IpAddressField, kCheckPairs> IPAddr;  // IPAddr1..IPAddr5
    std::array<NumericField, kCheckPairs> Port{NumericField{0, 65535, 0}, NumericField{0, 65535, 0},
                                               NumericField{0, 65535, 0}, NumericField{0, 65535, 0},
                                               NumericField{0, 65535, 0}};  // Port1..Port5

    NumericField IdleEdit{1, 10, 5};

    TextField APNEdit{50};
    TextField LoginEdit{20};
    TextField PasswordEdit{20};
    TextField VersionEdit;  // a display only, never enabled
};

}  // namespace nkq
