#pragma once
// The one failure kind of the serial layer: a fixed text chosen by a message
// code, followed by the operating system's error number.
#include <cerrno>
#include <string>

#include "app/Failure.h"

namespace nkq {

// Message codes; numbers missing here belong to facilities the system lacks.
inline constexpr int kComOpenFailed = 1;
inline constexpr int kComWriteFailed = 2;
inline constexpr int kComReadFailed = 3;
inline constexpr int kComPurgeFailed = 5;
inline constexpr int kComSetStateFailed = 7;
inline constexpr int kComSetTimeoutsFailed = 8;
inline constexpr int kComSetupFailed = 9;
inline constexpr int kComClearErrorFailed = 10;
inline constexpr int kComModemStatusFailed = 11;
inline constexpr int kComRegistryFailed = 23;

// The system error of an operation on a port that holds no device: the
// invalid-handle error (ERROR_INVALID_HANDLE on Windows).
#ifdef _WIN32
inline constexpr int kInvalidHandleError = 6;
#else
inline constexpr int kInvalidHandleError = EBADF;
#endif

class EComPort : public Exception {
public:
    // SystemError is the errno saved right after the failing call, or -1.
    EComPort(int MessageCode, int SystemError);
    // Same code and error, with a message that a caller has reworded.
    EComPort(int MessageCode, int SystemError, std::string message);

    int MessageCode() const noexcept { return message_code_; }
    int SystemError() const noexcept { return system_error_; }

private:
    int message_code_;
    int system_error_;
};

// The untranslated text for a message code (empty for an unknown code).
const char* ComErrorText(int MessageCode);

}  // namespace nkq
