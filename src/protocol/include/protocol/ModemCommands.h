#pragma once
// Every exchange the workstation has with the modem, in one place: what is
// sent, what is read back and what counts as accepted. Commands go out as
// their text followed by one CR; firmware bytes go out as they are.
#include <chrono>
#include <cstddef>
#include <string_view>

namespace nkq::modem {

inline constexpr char kCR = '\r';
inline constexpr char kLF = '\n';  // the modem also takes it, or CR LF, as a line end

// Parameter protocol.
inline constexpr std::string_view kStop = "STOP";    // nothing read; kStopPause follows
inline constexpr std::string_view kStart = "START";  // nothing read
inline constexpr std::string_view kGet = "GET";      // reply collected until quiet; last line "OK"
inline constexpr std::string_view kCmd = "CMD";      // kReadyReplySize bytes, kReadyReply
inline constexpr std::string_view kSave = "SAVE";    // kOkReplySize bytes, kOkReply
inline constexpr std::string_view kTcp = "TCP";      // reply collected until quiet; "IP" lines

inline constexpr std::string_view kReadyReply = "READY\r";
inline constexpr std::size_t kReadyReplySize = 6;
inline constexpr std::string_view kOkReply = "OK\r";
inline constexpr std::size_t kOkReplySize = 3;
// A parameter line answered with these three bytes and kRs485TailSize more
// means: data-port flow control is not supported on an RS485 interface.
inline constexpr std::string_view kRs485ReplyStart = "COM";
inline constexpr std::size_t kRs485TailSize = 9;
inline constexpr std::string_view kReplyEndLine = "OK";    // last line of a "GET" reply
inline constexpr std::string_view kConnectionLine = "IP";  // a connection in a "TCP" reply
inline constexpr std::string_view kReplyLineEnd = "\r\n";  // ends each line of a "GET" or "TCP" reply
inline constexpr char kFieldSeparator = ' ';               // between a key and its value, and after "IP"

// The modem's refusals. Only their length and their not being the accepted
// reply matter to the workstation.
inline constexpr std::string_view kErrorReply = "ERROR\r";  // an unknown command or a refused "CMD"
inline constexpr std::string_view kRejectReply = "ER\r";    // a refused parameter line or "SAVE"
// The RS485 notice in full, as the virtual modem words it.
inline constexpr std::string_view kRs485Reply = "COMFC RS485\r";
static_assert(kErrorReply.size() == kReadyReplySize && kRejectReply.size() == kOkReplySize);
static_assert(kRs485Reply.starts_with(kRs485ReplyStart) &&
              kRs485Reply.size() == kRs485ReplyStart.size() + kRs485TailSize);

// Firmware loader protocol.
inline constexpr std::string_view kUpdate = "UPDATE";  // one byte back, kAccepted
inline constexpr char kStartUpload = 'S';              // sent alone, no CR; one byte back
inline constexpr char kAccepted = '0';
inline constexpr char kResend = '1';
inline constexpr std::size_t kBlockSize = 512;
inline constexpr std::size_t kPacketSize = kBlockSize + 1;  // block and its checksum
inline constexpr int kPacketAttempts = 5;

// Protocol times.
inline constexpr std::chrono::milliseconds kStopPause{500};
inline constexpr std::chrono::milliseconds kLoaderPause{2000};
inline constexpr std::chrono::milliseconds kReplyFirstWait{3000};
inline constexpr std::chrono::milliseconds kReplyNextWait{100};
inline constexpr std::chrono::milliseconds kStatusPollInterval{5000};

}  // namespace nkq::modem
