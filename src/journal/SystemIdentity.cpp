#include "SystemIdentity.h"

#include <pwd.h>
#include <unistd.h>

#include <climits>
#include <vector>

namespace nkq::journal {

std::string CurrentUserName() {
    const uid_t uid = ::geteuid();
    const long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
        found->pw_name != nullptr) {
        return found->pw_name;
    }
    return std::to_string(uid);
}

std::string CurrentHostName() {
    char name[HOST_NAME_MAX + 1] = {};
    if (::gethostname(name, sizeof name - 1) != 0) return {};
    return name;
}

}  // namespace nkq::journal
