#include "app/FileBytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

#include "FileWriting.h"
#include "UniqueFd.h"
#include "app/Failure.h"

namespace nkq {

namespace {

namespace fs = std::filesystem;
using file_writing::SystemFailure;

// Where the bytes of a save end up, found the way open() would find it.
struct SaveTarget {
    std::string path;  // after every symbolic link; a dangling link gives its target
    bool exists = false;
    bool regular = false;
    bool through_process_links = false;  // /dev/stdout and the like: an open file, not a name
    int descriptor = -1;                 // the descriptor of this process that the name stands for, if any
};

// The descriptor of this process that a name in its descriptor folder
// (/proc/self/fd, /dev/fd, /proc/<pid>/fd, /proc/thread-self/fd) stands for.
int OwnDescriptor(const fs::path& path) {
    std::error_code error;
    const fs::path folder = fs::canonical(path.parent_path(), error);
    if (error) return -1;
    const std::string own = "/proc/" + std::to_string(::getpid());
    const std::string name = folder.string();
    const bool process_folder = name == own + "/fd";
    const bool thread_folder = name.rfind(own + "/task/", 0) == 0 && folder.filename() == "fd";
    if (!process_folder && !thread_folder) return -1;
    const std::string number = path.filename().string();
    if (number.empty() || number.size() > 9 ||
        !std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return -1;
    return std::stoi(number);
}

// Whether this process may write through the descriptor.
bool OpenForWriting(int fd) {
    const int flags = ::fcntl(fd, F_GETFL);
    return flags != -1 && (flags & O_ACCMODE) != O_RDONLY;
}

SaveTarget ResolveSaveTarget(const std::string& path) {
    constexpr int kMaxLinks = 40;  // the kernel's own limit
    SaveTarget target;
    fs::path current = path;
    for (int links = 0;; ++links) {
        if (current.string().rfind("/proc/", 0) == 0) target.through_process_links = true;
        if (target.descriptor < 0) {
            target.descriptor = OwnDescriptor(current);
            if (target.descriptor >= 0) target.through_process_links = true;
        }
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) break;
        if (links == kMaxLinks) throw SystemFailure{ELOOP};
        std::error_code error;
        fs::path next = fs::read_symlink(current, error);
        if (error) throw SystemFailure{error.value()};
        if (next.is_relative()) next = current.parent_path() / next;
        current = next;
    }
    target.path = current.string();
    struct stat st {};
    target.exists = ::stat(path.c_str(), &st) == 0;
    target.regular = target.exists && S_ISREG(st.st_mode);
    return target;
}

bool FolderRefusesNewFiles(int error_number) {
    return error_number == EACCES || error_number == EPERM || error_number == EROFS;
}

void Save(const std::string& path, const std::string& bytes) {
    const SaveTarget target = ResolveSaveTarget(path);
    // /dev/stdout, /dev/fd/1 and /proc/self/fd/1 stand for what the shell
    // set up: reopening the name would truncate a log opened with ">>", so
    // the bytes go into the descriptor itself.
    if (target.descriptor >= 0 && OpenForWriting(target.descriptor)) {
        file_writing::WriteIntoDescriptor(target.descriptor, bytes);
        return;
    }
    // A FIFO, a device or a file the process already holds open is written
    // into, as the shell's ">" would; replacing it would put a regular file
    // in the place of /dev/null or /dev/stdout.
    if (target.through_process_links || (target.exists && !target.regular)) {
        file_writing::WriteInPlace(path, bytes, target.regular);
        return;
    }
    // A file the user may not write is refused, as a plain overwrite would be.
    if (target.exists && ::faccessat(AT_FDCWD, target.path.c_str(), W_OK, AT_EACCESS) != 0)
        throw SystemFailure{errno};
    try {
        file_writing::ReplaceThroughTemporary(target.path, bytes);
    } catch (const SystemFailure& failure) {
        // A writable file in a folder that takes no new files can still be
        // saved, though no longer in one step.
        if (!target.exists || !FolderRefusesNewFiles(failure.error_number)) throw;
        file_writing::WriteInPlace(target.path, bytes, true);
    }
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
        Save(path, bytes);
    } catch (const SystemFailure& failure) {
        throw FileCreateError(path, failure.error_number);
    }
}

}  // namespace nkq
