// A program built on nkq_params alone: the parameter model, its lines and the
// settings-file checks work without a serial port, a journal or SQLite.
#include <cstdio>

#include "params/ParameterLines.h"
#include "params/ParameterSet.h"
#include "params/SettingsCheck.h"

int main() {
    nkq::ParameterSet set;
    set.ApplyStartupRules();
    nkq::ParseParameters(set, "MODE 0\r\nSERVERPORT 4001\r\nOK\r\n");
    const auto lines = nkq::BuildParameterLines(set);
    const bool whole = lines.size() == 17 && lines[1] == "SERVERPORT 4001";
    const bool checked = nkq::CheckSettingsLines("MODE 0\r\nAPNX x\r\n").size() == 1;
    std::printf("%zu lines, %s\n", lines.size(), whole && checked ? "as expected" : "NOT as expected");
    return whole && checked ? 0 : 1;
}
