// Who runs the program and on which machine, from Windows' own names.
#include <windows.h>

#include <string>

#include "SystemIdentity.h"
#include "app/WidePath.h"

namespace nkq::journal {

std::string CurrentUserName() {
    wchar_t name[256 + 1] = {};
    DWORD size = sizeof name / sizeof name[0];
    if (!GetUserNameW(name, &size)) return {};
    return Utf8Path(name);
}

std::string CurrentHostName() {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof name / sizeof name[0];
    if (!GetComputerNameW(name, &size)) return {};
    return Utf8Path(name);
}

}  // namespace nkq::journal
