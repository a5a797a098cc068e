#pragma once
// The keys of the modem's parameter lines ("KEY value"), as the modem lists
// them after "GET", takes them after "CMD" and the settings files keep them,
// and the digits of the MODE line.
#include <array>
#include <string_view>

namespace nkq::modem {

inline constexpr std::string_view kModeKey = "MODE";
inline constexpr std::string_view kDestIpKey = "DESTIP";
inline constexpr std::string_view kDestPortKey = "DESTPORT";
inline constexpr std::string_view kServerPortKey = "SERVERPORT";
// IPPING1 to IPPING5: a check address and port, "address port".
inline constexpr std::array<std::string_view, 5> kCheckPairKeys{"IPPING1", "IPPING2", "IPPING3", "IPPING4",
                                                                "IPPING5"};
inline constexpr std::string_view kIdleTimeKey = "IDLETIME";
inline constexpr std::string_view kApnKey = "APN";
inline constexpr std::string_view kLoginKey = "LOGIN";
inline constexpr std::string_view kPasswordKey = "PASSWORD";
inline constexpr std::string_view kComRateKey = "COMRATE";
inline constexpr std::string_view kComFlowKey = "COMFC";
inline constexpr std::string_view kComBitsKey = "COMBITS";
inline constexpr std::string_view kComParityKey = "COMPARITY";
inline constexpr std::string_view kParitySelectKey = "PARITYSELECT";
inline constexpr std::string_view kComStopBitKey = "COMSTOPBIT";

// Read only: the modem reports them, nothing writes them.
inline constexpr std::string_view kDeviceKey = "DEVICE";
inline constexpr std::string_view kNameKey = "NAME";
inline constexpr std::string_view kVersionKey = "VERSION";
inline constexpr std::string_view kCsqKey = "CSQ";
inline constexpr std::string_view kInterfaceKey = "INTERFACE";
// What INTERFACE reports; on RS485 the data port has no flow control.
inline constexpr std::string_view kRs232Interface = "RS232";
inline constexpr std::string_view kRs485Interface = "RS485";

inline constexpr std::string_view kClientModeDigit = "1";
inline constexpr std::string_view kServerModeDigit = "0";
inline constexpr std::string_view kModemModeDigit = "2";

}  // namespace nkq::modem
