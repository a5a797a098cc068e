#pragma once
// The parameter-line text form ("KEY value", one per line) shared by the
// modem's replies, what is written to the modem and the settings files.
#include <string>
#include <vector>

#include "params/ParameterSet.h"

namespace nkq {

// The text after the first blank, further blanks included; empty without one.
std::string ExtractValue(const std::string& line);

// Applies every line in order; true when the last line begins with "OK".
// A failing line raises, with the lines before it applied and the rest not.
bool ParseParameters(ParameterSet& set, const std::string& text);

// The signal level 0..5 of a CSQ value such as "19,0"; never raises.
int SignalLevel(const std::string& value);

// Selects the first entry equal to `text`; no match leaves the selection.
void SelectComboItem(ComboField& combo, const std::string& text);

// "address port": split at the first blank. A value without a blank raises
// EConvertError before either field changes.
void SetAddressAndPort(const std::string& value, IpAddressField& address, NumericField& port);

// "RS485" makes flow control unavailable and selects "Нет"; any other
// interface makes it available and keeps the selection.
void ApplyInterface(ParameterSet& set, const std::string& value);

// The COMFC rule: applied only while flow control is available.
void ApplyFlowControl(ParameterSet& set, const std::string& value);

std::string BoolToDigit(bool flag);

// Callers append in the order mode, GPRS, port.
void AddModeSettings(const ParameterSet& set, std::vector<std::string>& lines);
void AddGprsSettings(const ParameterSet& set, std::vector<std::string>& lines);
void AddPortSettings(const ParameterSet& set, std::vector<std::string>& lines);

// All three in order: 13 lines in client mode, 17 in server, 11 in modem mode.
std::vector<std::string> BuildParameterLines(const ParameterSet& set);

}  // namespace nkq
