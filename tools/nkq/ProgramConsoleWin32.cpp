// The console on Windows.
// windows.h comes first: shellapi.h builds on it.
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <cstdio>

#include "ProgramConsole.h"
#include "app/WidePath.h"

namespace nkq::cli {

namespace {

void EnableTerminalEscapes(DWORD handle_id) {
    const HANDLE handle = GetStdHandle(handle_id);
    DWORD mode = 0;
    if (handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode))
        SetConsoleMode(handle, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
}

}  // namespace

void PrepareConsole() {
    SetConsoleOutputCP(CP_UTF8);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    EnableTerminalEscapes(STD_OUTPUT_HANDLE);
    EnableTerminalEscapes(STD_ERROR_HANDLE);
}

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) return {argv + 1, argv + argc};
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i) arguments.push_back(Utf8Path(wide[i]));
    LocalFree(wide);
    return arguments;
}

}  // namespace nkq::cli
