#pragma once
// The keys of the modem's parameter lines ("KEY value"), the digits of MODE
// and the interface names that INTERFACE reports.
#include <string_view>

namespace nkq::modem {

inline constexpr std::string_view kModeKey = "MODE";
inline constexpr std::string_view kDestIpKey = "DESTIP";
inline constexpr std::string_view kDestPortKey = "DESTPORT";
inline constexpr std::string_view kServerPortKey = "SERVERPORT";
inline constexpr std::string_view kIpPing1Key = "IPPING1";
inline constexpr std::string_view kIpPing2Key = "IPPING2";
inline constexpr std::string_view kIpPing3Key = "IPPING3";
inline constexpr std::string_view kIpPing4Key = "IPPING4";
inline constexpr std::string_view kIpPing5Key = "IPPING5";
inline constexpr std::string_view kIdleTimeKey = "IDLETIME";
inline constexpr std::string_view kApnKey = "APN";
inline constexpr std::string_view kLoginKey = "LOGIN";
inline constexpr std::string_view kPasswordKey = "PASSWORD";
inline constexpr std::string_view kComRateKey = "COMRATE";
inline constexpr std::string_view kComFcKey = "COMFC";
inline constexpr std::string_view kComBitsKey = "COMBITS";
inline constexpr std::string_view kComParityKey = "COMPARITY";
inline constexpr std::string_view kParitySelectKey = "PARITYSELECT";
inline constexpr std::string_view kComStopBitKey = "COMSTOPBIT";
inline constexpr std::string_view kDeviceKey = "DEVICE";
inline constexpr std::string_view kNameKey = "NAME";
inline constexpr std::string_view kVersionKey = "VERSION";
inline constexpr std::string_view kCsqKey = "CSQ";
inline constexpr std::string_view kInterfaceKey = "INTERFACE";

// Values of MODE.
inline constexpr std::string_view kModeClient = "1";
inline constexpr std::string_view kModeServer = "0";
inline constexpr std::string_view kModeModem = "2";

// Values of INTERFACE; on RS485 the data port has no flow control.
inline constexpr std::string_view kInterfaceRs232 = "RS232";
inline constexpr std::string_view kInterfaceRs485 = "RS485";

}  // namespace nkq::modem
