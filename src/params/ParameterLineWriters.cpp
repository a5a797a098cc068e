// Turning the parameter set into lines. Values are written as the fields hold
// them, whatever their enabled state: the mode alone decides what is written.
#include <string>
#include <vector>

#include "app/TextConversions.h"
#include "params/ParameterLines.h"

namespace nkq {

namespace {

std::string ModeDigit(Mode mode) {
    switch (mode) {
        case Mode::Client: return "1";
        case Mode::Server: return "0";
        case Mode::Modem: return "2";
    }
    return "1";
}

void AddServerSettings(const ParameterFields& fields, std::vector<std::string>& lines) {
    lines.push_back("SERVERPORT " + fields.IncomePortEdit.Text());
    for (std::size_t pair = 0; pair < kCheckPairs; ++pair) {
        lines.push_back("IPPING" + std::to_string(pair + 1) + " " + fields.IPAddr[pair].Text() + " " +
                        fields.Port[pair].Text());
    }
}

}  // namespace

void AddModeSettings(const ParameterSet& set, std::vector<std::string>& lines) {
    const ParameterFields& fields = set.Fields();
    lines.push_back("MODE " + ModeDigit(set.GetMode()));
    if (set.GetMode() == Mode::Client) {
        lines.push_back("DESTIP " + fields.IPAddrEdit.Text());
        lines.push_back("DESTPORT " + fields.PortEdit.Text());
    } else if (set.GetMode() == Mode::Server) {
        AddServerSettings(fields, lines);
    }
    lines.push_back("IDLETIME " + fields.IdleEdit.Text());
}

void AddGprsSettings(const ParameterSet& set, std::vector<std::string>& lines) {
    lines.push_back("APN " + set.Fields().APNEdit.Text());
    lines.push_back("LOGIN " + set.Fields().LoginEdit.Text());
    lines.push_back("PASSWORD " + set.Fields().PasswordEdit.Text());
}

void AddPortSettings(const ParameterSet& set, std::vector<std::string>& lines) {
    const ParameterFields& fields = set.Fields();
    lines.push_back("COMRATE " + fields.RateCombo.Text());
    lines.push_back("COMFC " + IntToText(fields.FlowCombo.Index()));
    lines.push_back("COMBITS " + IntToText(fields.BitsCombo.Index() + 5));
    lines.push_back("COMPARITY " + BoolToDigit(set.ParityUsed()));
    lines.push_back("PARITYSELECT " + IntToText(fields.ParityCombo.Index()));
    lines.push_back("COMSTOPBIT " + IntToText(fields.StopCombo.Index()));
}

std::vector<std::string> BuildParameterLines(const ParameterSet& set) {
    std::vector<std::string> lines;
    AddModeSettings(set, lines);
    AddGprsSettings(set, lines);
    AddPortSettings(set, lines);
    return lines;
}

}  // namespace nkq
