#include "app/FileBytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>

#include "app/Failure.h"

namespace nkq {

namespace {

class UniqueFd {
public:
    explicit UniqueFd(int fd = -1) : fd_(fd) {}
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd() { Reset(); }

    int Get() const { return fd_; }
    // Closes now and reports whether the close succeeded (it may report a
    // delayed write error).
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return fd < 0 || ::close(fd) == 0;
    }

private:
    void Reset() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }
    int fd_;
};

// A system call failed; the errno is kept at once, before anything can change it.
struct SystemFailure {
    int error_number;
};

[[noreturn]] void Fail() { throw SystemFailure{errno}; }

// The temporary file beside the target; removed unless it was renamed over it.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::filesystem::path& folder)
        : name_((folder / ".nkq-XXXXXX").string()), fd_(::mkstemp(name_.data())) {
        if (fd_.Get() < 0) Fail();
        created_ = true;
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        fd_.Close();
        if (created_) ::unlink(name_.c_str());
    }

    int Fd() const { return fd_.Get(); }
    void Close() {
        if (!fd_.Close()) Fail();
    }
    void RenameTo(const std::string& target) {
        if (::rename(name_.c_str(), target.c_str()) != 0) Fail();
        created_ = false;
    }

private:
    std::string name_;
    UniqueFd fd_;
    bool created_ = false;
};

mode_t CurrentUmask() {
    // The only portable way to read it is to set it; no other thread of this
    // program creates files, so the short window does not matter.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

void TakeOverAttributes(int fd, const std::string& target) {
    struct stat old {};
    if (::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
        if (::fchmod(fd, old.st_mode & 07777) != 0) Fail();
        // Keeping the owner is a courtesy that only a privileged user can extend.
        const bool owner_kept = ::fchown(fd, old.st_uid, old.st_gid) == 0;
        (void)owner_kept;
        return;
    }
    if (::fchmod(fd, 0666 & ~CurrentUmask()) != 0) Fail();
}

void WriteAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR) continue;
        if (written < 0) Fail();
        done += static_cast<std::size_t>(written);
    }
}

void SyncFolder(const std::filesystem::path& folder) {
    // Makes the rename itself durable; the file is complete either way.
    UniqueFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.Get() >= 0) ::fsync(fd.Get());
}

std::string ResolvedTarget(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_symlink(path, error)) return path;
    const auto resolved = std::filesystem::weakly_canonical(path, error);
    return error ? path : resolved.string();
}

// A device or a pipe is written into, as cp or a shell redirection would:
// renaming a file over it would put a plain file where /dev/null was.
bool IsSpecialFile(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode) && !S_ISDIR(status.st_mode);
}

void WriteInPlace(const std::string& path, const std::string& bytes) {
    UniqueFd fd(::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC));
    if (fd.Get() < 0) Fail();
    WriteAll(fd.Get(), bytes);
    if (!fd.Close()) Fail();
}

void ReplaceOrFail(const std::string& path, const std::string& bytes) {
    const std::string target = ResolvedTarget(path);
    if (IsSpecialFile(target)) return WriteInPlace(target, bytes);
    std::filesystem::path folder = std::filesystem::path(target).parent_path();
    if (folder.empty()) folder = ".";
    TemporaryFile temporary(folder);
    TakeOverAttributes(temporary.Fd(), target);
    WriteAll(temporary.Fd(), bytes);
    if (::fsync(temporary.Fd()) != 0) Fail();
    temporary.Close();
    temporary.RenameTo(target);
    SyncFolder(folder);
}

}  // namespace

std::string ReadWholeFile(const std::string& path, std::size_t limit) {
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.Get() < 0) throw FileOpenError(path, errno);
    std::string bytes;
    char buffer[64 * 1024];
    while (bytes.size() < limit) {
        const std::size_t wanted = std::min(sizeof buffer, limit - bytes.size());
        const ssize_t count = ::read(fd.Get(), buffer, wanted);
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) throw FileOpenError(path, errno);
        if (count == 0) break;
        bytes.append(buffer, static_cast<std::size_t>(count));
    }
    return bytes;
}

void ReplaceFile(const std::string& path, const std::string& bytes) {
    try {
        ReplaceOrFail(path, bytes);
    } catch (const SystemFailure& failure) {
        throw FileCreateError(path, failure.error_number);
    }
}

}  // namespace nkq
