#include "params/ParameterKeyTable.h"

#include <climits>
#include <cstdint>

#include "app/TextConversions.h"
#include "params/ParameterLines.h"
#include "params/ParameterValues.h"
#include "protocol/ModemCommands.h"
#include "protocol/ParameterKeys.h"

namespace nkq {

namespace {

using namespace modem;

constexpr std::array<bool, 3> kEveryMode{true, true, true};
constexpr std::array<bool, 3> kClientMode{true, false, false};
constexpr std::array<bool, 3> kServerMode{false, true, false};
constexpr std::array<bool, 3> kNoMode{false, false, false};

constexpr std::array<std::pair<Mode, std::string_view>, 3> kModeDigits{
    {{Mode::Client, kClientModeDigit}, {Mode::Server, kServerModeDigit}, {Mode::Modem, kModemModeDigit}}};

// The lists and ranges, as the window has them.
const ParameterFields& Built() {
    static const ParameterFields fields;
    return fields;
}

// An index of a list, as the list holds it.
std::optional<std::string> HeldIndex(std::string_view value, const ComboField& list) {
    return HeldNumber(value, 0, list.Count() - 1);
}

// An unknown mode keeps the selection, but the mode rule runs all the same.
void ApplyMode(ParameterSet& set, const std::string& value) {
    if (const auto mode = ModeOfDigit(value)) {
        set.SelectMode(*mode);
    } else {
        set.ApplyModeRule();
    }
}

void ApplyBits(ParameterSet& set, const std::string& value) {
    const std::int32_t bits = TextToInt(value);
    // Any index outside the list clears it, so an overflowing one may as well be -1.
    set.Fields().BitsCombo.SetIndex(bits < INT_MIN + 5 ? -1 : bits - 5);
}

template <std::size_t Pair>
ParameterKey CheckPairKey() {
    return {kCheckPairKeys[Pair],
            KeyMatch::Prefix,
            LineGroup::Mode,
            kServerMode,
            false,
            PortPart::AfterBlank,
            [](ParameterSet& set, const std::string& value) {
                SetAddressAndPort(value, set.Fields().IPAddr[Pair], set.Fields().Port[Pair]);
            },
            [](const ParameterSet& set) {
                return set.Fields().IPAddr[Pair].Text() + kFieldSeparator + set.Fields().Port[Pair].Text();
            },
            HeldAddressAndPort};
}

const std::array<ParameterKey, 24>& Table() {
    static const std::array<ParameterKey, 24> table{{
        {kModeKey, KeyMatch::Prefix, LineGroup::Mode, kEveryMode, false, PortPart::None, ApplyMode,
         [](const ParameterSet& set) { return std::string(ModeDigit(set.GetMode())); },
         [](std::string_view value) -> std::optional<std::string> {
             if (!ModeOfDigit(value)) return std::nullopt;
             return std::string(value);
         }},
        {kDestIpKey, KeyMatch::Prefix, LineGroup::Mode, kClientMode, false, PortPart::None,
         [](ParameterSet& set, const std::string& value) { set.Fields().IPAddrEdit.SetText(value); },
         [](const ParameterSet& set) { return set.Fields().IPAddrEdit.Text(); }, HeldAddress},
        {kDestPortKey, KeyMatch::Prefix, LineGroup::Mode, kClientMode, false, PortPart::Whole,
         [](ParameterSet& set, const std::string& value) { set.Fields().PortEdit.SetText(value); },
         [](const ParameterSet& set) { return set.Fields().PortEdit.Text(); }, PortNumberText},
        {kServerPortKey, KeyMatch::Prefix, LineGroup::Mode, kServerMode, false, PortPart::Whole,
         [](ParameterSet& set, const std::string& value) { set.Fields().IncomePortEdit.SetText(value); },
         [](const ParameterSet& set) { return set.Fields().IncomePortEdit.Text(); }, PortNumberText},
        CheckPairKey<0>(),
        CheckPairKey<1>(),
        CheckPairKey<2>(),
        CheckPairKey<3>(),
        CheckPairKey<4>(),
        {kIdleTimeKey, KeyMatch::Prefix, LineGroup::Mode, kEveryMode, false, PortPart::None,
         [](ParameterSet& set, const std::string& value) {
             set.Fields().IdleEdit.SetNumber(TextToInt(value));
         },
         [](const ParameterSet& set) { return set.Fields().IdleEdit.Text(); },
         [](std::string_view value) {
             return HeldNumber(value, Built().IdleEdit.Minimum(), Built().IdleEdit.Maximum());
         }},
        {kApnKey, KeyMatch::Prefix, LineGroup::Gprs, kEveryMode, false, PortPart::None,
         [](ParameterSet& set, const std::string& value) { set.Fields().APNEdit.SetText(value); },
         [](const ParameterSet& set) { return set.Fields().APNEdit.Text(); }, nullptr},
        {kLoginKey, KeyMatch::Prefix, LineGroup::Gprs, kEveryMode, false, PortPart::None,
         [](ParameterSet& set, const std::string& value) { set.Fields().LoginEdit.SetText(value); },
         [](const ParameterSet& set) { return set.Fields().LoginEdit.Text(); }, nullptr},
        {kPasswordKey, KeyMatch::Prefix, LineGroup::Gprs, kEveryMode, true, PortPart::None,
         [](ParameterSet& set, const std::string& value) { set.Fields().PasswordEdit.SetText(value); },
         [](const ParameterSet& set) { return set.Fields().PasswordEdit.Text(); }, nullptr},
        // The data port's lines are written whatever the enabled states.
        {kComRateKey, KeyMatch::Prefix, LineGroup::Port, kEveryMode, false, PortPart::None,
         [](ParameterSet& set, const std::string& value) { SelectComboItem(set.Fields().RateCombo, value); },
         [](const ParameterSet& set) { return set.Fields().RateCombo.Text(); },
         [](std::string_view value) -> std::optional<std::string> {
             if (Built().RateCombo.IndexOf(std::string(value)) < 0) return std::nullopt;
             return std::string(value);
         }},
        {kComFlowKey, KeyMatch::Prefix, LineGroup::Port, kEveryMode, false, PortPart::None, ApplyFlowControl,
         [](const ParameterSet& set) { return IntToText(set.Fields().FlowCombo.Index()); },
         [](std::string_view value) { return HeldIndex(value, Built().FlowCombo); }},
        // The data bits are written as the index plus 5.
        {kComBitsKey, KeyMatch::Prefix, LineGroup::Port, kEveryMode, false, PortPart::None, ApplyBits,
         [](const ParameterSet& set) { return IntToText(set.Fields().BitsCombo.Index() + 5); },
         [](std::string_view value) { return HeldNumber(value, 5, 5 + Built().BitsCombo.Count() - 1); }},
        {kComParityKey, KeyMatch::Prefix, LineGroup::Port, kEveryMode, false, PortPart::None,
         [](ParameterSet& set, const std::string& value) { set.SetParityUsed(TextToBool(value)); },
         [](const ParameterSet& set) { return BoolToDigit(set.ParityUsed()); },
         [](std::string_view value) { return HeldNumber(value, 0, 1); }},
        {kParitySelectKey, KeyMatch::Prefix, LineGroup::Port, kEveryMode, false, PortPart::None,
         [](ParameterSet& set, const std::string& value) {
             set.Fields().ParityCombo.SetIndex(TextToInt(value));
         },
         [](const ParameterSet& set) { return IntToText(set.Fields().ParityCombo.Index()); },
         [](std::string_view value) { return HeldIndex(value, Built().ParityCombo); }},
        {kComStopBitKey, KeyMatch::Prefix, LineGroup::Port, kEveryMode, false, PortPart::None,
         [](ParameterSet& set, const std::string& value) {
             set.Fields().StopCombo.SetIndex(TextToInt(value));
         },
         [](const ParameterSet& set) { return IntToText(set.Fields().StopCombo.Index()); },
         [](std::string_view value) { return HeldIndex(value, Built().StopCombo); }},
        // Only ever reported by the modem.
        {kDeviceKey, KeyMatch::Prefix, LineGroup::Reported, kNoMode, false, PortPart::None,
         [](ParameterSet& set, const std::string& value) { set.SetDeviceText(value); }, nullptr, nullptr},
        {kNameKey, KeyMatch::Prefix, LineGroup::Reported, kNoMode, false, PortPart::None,
         [](ParameterSet& set, const std::string& value) { set.SetNameText(value); }, nullptr, nullptr},
        {kVersionKey, KeyMatch::PrefixAndBlank, LineGroup::Reported, kNoMode, false, PortPart::None,
         [](ParameterSet& set, const std::string& value) { set.Fields().VersionEdit.SetText(value); },
         nullptr, nullptr},
        {kCsqKey, KeyMatch::Prefix, LineGroup::Reported, kNoMode, false, PortPart::None,
         [](ParameterSet& set, const std::string& value) { set.SetLevel(SignalLevel(value)); }, nullptr,
         nullptr},
        {kInterfaceKey, KeyMatch::Prefix, LineGroup::Reported, kNoMode, false, PortPart::None, ApplyInterface,
         nullptr, nullptr},
    }};
    return table;
}

}  // namespace

std::span<const ParameterKey> ParameterKeyTable() { return Table(); }

const ParameterKey* FindParameterKey(std::string_view key) {
    for (const auto& row : Table())
        if (row.key == key) return &row;
    return nullptr;
}

std::string_view ModeDigit(Mode mode) {
    for (const auto& [known, digit] : kModeDigits)
        if (known == mode) return digit;
    return kClientModeDigit;
}

std::optional<Mode> ModeOfDigit(std::string_view digit) {
    for (const auto& [mode, known] : kModeDigits)
        if (known == digit) return mode;
    return std::nullopt;
}

}  // namespace nkq
