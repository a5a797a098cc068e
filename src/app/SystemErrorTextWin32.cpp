// The system's text for a GetLastError value, in English where the system
// has it (the shared layers' texts are English; a catalogue translates them).
#include <windows.h>

#include <string>

#include "app/Failure.h"

namespace nkq {

namespace {

std::string MessageFor(DWORD error_number, DWORD language) {
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        error_number, language, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string result(text ? text : "", length);
    LocalFree(text);
    return result;
}

}  // namespace

std::string SystemErrorText(int error_number) {
    const auto number = static_cast<DWORD>(error_number);
    std::string result = MessageFor(number, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
    if (result.empty()) result = MessageFor(number, 0);
    while (!result.empty() && (result.back() == '\n' || result.back() == '\r' || result.back() == ' '))
        result.pop_back();
    if (!result.empty() && result.back() == '.') result.pop_back();
    return result.empty() ? "Unknown error " + std::to_string(error_number) : result;
}

}  // namespace nkq
