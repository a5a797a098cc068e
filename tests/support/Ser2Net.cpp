#include "Ser2Net.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace nkq::testing {

namespace {

sockaddr_in Loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// The socket inode listening on 127.0.0.1:`port` (from /proc/net/tcp), or
// empty when nothing listens there.
std::string ListeningInode(int port) {
    char local[32];
    std::snprintf(local, sizeof local, "0100007F:%04X", port);
    std::ifstream table("/proc/net/tcp");
    std::string line;
    std::getline(table, line);  // the heading
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string slot, address, remote, state, queues, timer, retransmits, uid, timeout, inode;
        fields >> slot >> address >> remote >> state >> queues >> timer >> retransmits >> uid >> timeout >>
            inode;
        if (address == local && state == "0A") return inode;
    }
    return {};
}

bool OwnsSocket(pid_t pid, const std::string& inode) {
    std::error_code ignored;
    for (const auto& fd :
         std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/fd", ignored))
        if (std::filesystem::read_symlink(fd.path(), ignored).string() == "socket:[" + inode + "]")
            return true;
    return false;
}

std::string Configuration(const std::vector<Ser2Net::Line>& lines, const std::vector<int>& ports) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const bool rfc2217 = lines[i].protocol == Ser2Net::Protocol::Rfc2217;
        text += "connection: &modem" + std::to_string(i) +
                "\n  accepter: " + (rfc2217 ? "telnet(rfc2217),tcp," : "tcp,") + "127.0.0.1," +
                std::to_string(ports[i]) + "\n  connector: serialdev," + lines[i].device +
                ",115200n81,local\n  options:\n    chardelay: false\n    mdns: false\n";
    }
    return text;
}

}  // namespace

int Ser2Net::FreePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = Loopback(0);
    socklen_t size = sizeof address;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        ::close(fd);
        throw std::runtime_error("no free TCP port");
    }
    ::close(fd);
    return ntohs(address.sin_port);
}

// A port chosen free may be taken by another program before ser2net binds
// it, so each port must be seen listening in ser2net's own hands; when
// another program has one, ser2net starts again on new ports.
Ser2Net::Ser2Net(const std::vector<Line>& lines, const std::filesystem::path& folder) : lines_(lines) {
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (Start(folder)) return;
    }
    throw std::runtime_error("ser2net did not start: " + (folder / "ser2net.log").string());
}

bool Ser2Net::Start(const std::filesystem::path& folder) {
    ports_.clear();
    for (std::size_t i = 0; i < lines_.size(); ++i) ports_.push_back(FreePort());
    const auto config = folder / "ser2net.yaml";
    std::ofstream(config) << Configuration(lines_, ports_);
    const std::string log = (folder / "ser2net.log").string();
    const std::string pid_file = (folder / "ser2net.pid").string();
    pid_ = fork();
    if (pid_ < 0) throw std::runtime_error("fork failed");
    if (pid_ == 0) {
        const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(out, STDOUT_FILENO);
        dup2(out, STDERR_FILENO);
        // -n stays in the foreground, -u takes no UUCP lock on the device.
        execlp("ser2net", "ser2net", "-n", "-u", "-P", pid_file.c_str(), "-c", config.c_str(), nullptr);
        _exit(127);
    }
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    for (const int port : ports_) {
        for (;;) {
            const std::string inode = ListeningInode(port);
            if (!inode.empty() && OwnsSocket(pid_, inode)) break;
            if (!inode.empty() || std::chrono::steady_clock::now() > until ||
                waitpid(pid_, nullptr, WNOHANG) == pid_) {
                Stop(SIGKILL);
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    return true;
}

Ser2Net::~Ser2Net() { Stop(SIGTERM); }

std::string Ser2Net::Url(std::size_t index) const {
    const bool rfc2217 = lines_.at(index).protocol == Protocol::Rfc2217;
    return (rfc2217 ? "rfc2217://127.0.0.1:" : "socket://127.0.0.1:") + std::to_string(ports_.at(index));
}

void Ser2Net::Kill() { Stop(SIGKILL); }

void Ser2Net::Stop(int signal_number) {
    if (pid_ <= 0) return;
    kill(pid_, signal_number);
    while (waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
}

}  // namespace nkq::testing
