#include "PseudoTerminal.h"

#include <fcntl.h>
#include <pty.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "app/Failure.h"

namespace nkq {

namespace {

void MakeRaw(int fd) {
    termios settings{};
    if (tcgetattr(fd, &settings) != 0) return;
    cfmakeraw(&settings);
    cfsetispeed(&settings, B115200);
    cfsetospeed(&settings, B115200);
    settings.c_cflag &= ~(CSTOPB | PARENB | CRTSCTS | CSIZE);
    settings.c_cflag |= CS8 | CLOCAL | CREAD;
    settings.c_iflag &= ~(IXON | IXOFF | IXANY);
    settings.c_cc[VMIN] = 1;
    settings.c_cc[VTIME] = 0;
    tcsetattr(fd, TCSANOW, &settings);
}

}  // namespace

PseudoTerminal::PseudoTerminal(const std::string& link_path) {
    int slave_fd = -1;
    char name[256] = {};
    if (openpty(&master_fd_, &slave_fd, name, nullptr, nullptr) != 0) {
        throw std::system_error(errno, std::generic_category(), "openpty");
    }
    // The slave keeps these settings while the master is open, also when no
    // one has it open.
    MakeRaw(slave_fd);
    MakeRaw(master_fd_);
    close(slave_fd);
    slave_path_ = name;
    fcntl(master_fd_, F_SETFD, FD_CLOEXEC);
    fcntl(master_fd_, F_SETFL, fcntl(master_fd_, F_GETFL) | O_NONBLOCK);
    if (!link_path.empty()) {
        try {
            MakeLink(link_path);
        } catch (...) {
            close(master_fd_);
            throw;
        }
    }
}

PseudoTerminal::~PseudoTerminal() { CloseMaster(); }

void PseudoTerminal::CloseMaster() {
    RemoveLink();
    if (master_fd_ >= 0) close(master_fd_);
    master_fd_ = -1;
}

void PseudoTerminal::MakeLink(const std::string& link_path) {
    struct stat existing {};
    // Only a stale link is replaced; a real file at that place is left alone.
    if (lstat(link_path.c_str(), &existing) == 0 && S_ISLNK(existing.st_mode)) {
        unlink(link_path.c_str());
    }
    if (symlink(slave_path_.c_str(), link_path.c_str()) != 0) {
        throw FileCreateError(link_path, errno);
    }
    link_path_ = link_path;
}

void PseudoTerminal::RemoveLink() {
    if (link_path_.empty()) return;
    char target[256] = {};
    // Another modem may have taken the name over since; leave its link alone.
    const auto size = readlink(link_path_.c_str(), target, sizeof target - 1);
    if (size > 0 && slave_path_ == std::string(target, static_cast<std::size_t>(size))) {
        unlink(link_path_.c_str());
    }
    link_path_.clear();
}

}  // namespace nkq
