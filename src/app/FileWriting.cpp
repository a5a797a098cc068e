#include "FileWriting.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>

#include "UniqueFd.h"

namespace nkq::file_writing {

namespace {

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
    if (::stat(target.c_str(), &old) != 0) {
        if (::fchmod(fd, 0666 & ~CurrentUmask()) != 0) Fail();
        return;
    }
    if (::fchmod(fd, old.st_mode & 07777) != 0) Fail();
    // A privileged user keeps owner and group; others keep the group when they
    // belong to it, and otherwise the file belongs to them like any they create.
    if (::fchown(fd, old.st_uid, old.st_gid) == 0) return;
    const bool group_kept = ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) == 0;
    static_cast<void>(group_kept);
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

}  // namespace

void ReplaceThroughTemporary(const std::string& target, const std::string& bytes) {
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

void WriteIntoDescriptor(int fd, const std::string& bytes) {
    WriteAll(fd, bytes);
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::fsync(fd) != 0) Fail();
}

void WriteInPlace(const std::string& path, const std::string& bytes, bool sync) {
    UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (fd.Get() < 0) Fail();
    WriteAll(fd.Get(), bytes);
    if (sync && ::fsync(fd.Get()) != 0) Fail();
    if (!fd.Close()) Fail();
}

}  // namespace nkq::file_writing
