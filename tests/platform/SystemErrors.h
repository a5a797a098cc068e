#pragma once
// The error numbers that file failures carry, and the texts that go with
// them: errno values with the C library's texts on POSIX, GetLastError
// values on Windows. Wine words the texts differently from Windows itself,
// so there the expected text is the system's own text for the number.
#include <string>

#include "app/Failure.h"

#ifndef _WIN32
#include <cerrno>
#endif

namespace nkq::test {

#ifdef _WIN32
inline constexpr int kNoSuchFile = 2;    // ERROR_FILE_NOT_FOUND
inline constexpr int kNoSuchFolder = 3;  // ERROR_PATH_NOT_FOUND
inline constexpr int kAccessDenied = 5;  // ERROR_ACCESS_DENIED
inline constexpr int kIsAFolder = 5;     // a folder cannot be opened or replaced as a file
inline std::string ErrorText(int error_number) { return SystemErrorText(error_number); }
#else
inline constexpr int kNoSuchFile = ENOENT;
inline constexpr int kNoSuchFolder = ENOENT;
inline constexpr int kAccessDenied = EACCES;
inline constexpr int kIsAFolder = EISDIR;
inline std::string ErrorText(int error_number) {
    switch (error_number) {
        case ENOENT:
            return "No such file or directory";
        case EACCES:
            return "Permission denied";
        case EISDIR:
            return "Is a directory";
        default:
            return SystemErrorText(error_number);
    }
}
#endif

}  // namespace nkq::test
