// Turning the parameter set into lines. Values are written as the fields hold
// them, whatever their enabled state: the mode alone decides what is written.
#include <string>
#include <vector>

#include "app/TextConversions.h"
#include "params/ParameterLines.h"
#include "protocol/ParameterKeys.h"

namespace nkq {

namespace {

std::string_view ModeDigit(Mode mode) {
    switch (mode) {
        case Mode::Client:
            return modem::kClientModeDigit;
        case Mode::Server:
            return modem::kServerModeDigit;
        case Mode::Modem:
            return modem::kModemModeDigit;
    }
    return modem::kClientModeDigit;
}

// "KEY value": the key, one blank, the value as the field holds it.
std::string Line(std::string_view key, std::string_view value) {
    std::string line(key);
    line += ' ';
    line += value;
    return line;
}

void AddServerSettings(const ParameterFields& fields, std::vector<std::string>& lines) {
    lines.push_back(Line(modem::kServerPortKey, fields.IncomePortEdit.Text()));
    for (std::size_t pair = 0; pair < kCheckPairs; ++pair) {
        lines.push_back(
            Line(modem::kCheckPairKeys[pair], fields.IPAddr[pair].Text() + " " + fields.Port[pair].Text()));
    }
}

}  // namespace

void AddModeSettings(const ParameterSet& set, std::vector<std::string>& lines) {
    const ParameterFields& fields = set.Fields();
    lines.push_back(Line(modem::kModeKey, ModeDigit(set.GetMode())));
    if (set.GetMode() == Mode::Client) {
        lines.push_back(Line(modem::kDestIpKey, fields.IPAddrEdit.Text()));
        lines.push_back(Line(modem::kDestPortKey, fields.PortEdit.Text()));
    } else if (set.GetMode() == Mode::Server) {
        AddServerSettings(fields, lines);
    }
    lines.push_back(Line(modem::kIdleTimeKey, fields.IdleEdit.Text()));
}

void AddGprsSettings(const ParameterSet& set, std::vector<std::string>& lines) {
    lines.push_back(Line(modem::kApnKey, set.Fields().APNEdit.Text()));
    lines.push_back(Line(modem::kLoginKey, set.Fields().LoginEdit.Text()));
    lines.push_back(Line(modem::kPasswordKey, set.Fields().PasswordEdit.Text()));
}

void AddPortSettings(const ParameterSet& set, std::vector<std::string>& lines) {
    const ParameterFields& fields = set.Fields();
    lines.push_back(Line(modem::kComRateKey, fields.RateCombo.Text()));
    lines.push_back(Line(modem::kComFlowKey, IntToText(fields.FlowCombo.Index())));
    lines.push_back(Line(modem::kComBitsKey, IntToText(fields.BitsCombo.Index() + 5)));
    lines.push_back(Line(modem::kComParityKey, BoolToDigit(set.ParityUsed())));
    lines.push_back(Line(modem::kParitySelectKey, IntToText(fields.ParityCombo.Index())));
    lines.push_back(Line(modem::kComStopBitKey, IntToText(fields.StopCombo.Index())));
}

std::vector<std::string> BuildParameterLines(const ParameterSet& set) {
    std::vector<std::string> lines;
    AddModeSettings(set, lines);
    AddGprsSettings(set, lines);
    AddPortSettings(set, lines);
    return lines;
}

}  // namespace nkq
