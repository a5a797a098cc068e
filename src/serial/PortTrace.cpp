#include "serial/PortTrace.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "app/Failure.h"

namespace nkq {

namespace {

std::string Hex(const unsigned char* bytes, std::size_t count) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(count * 3);
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) text += ' ';
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 0x0F];
    }
    return text;
}

// Bytes outside printable ASCII are escaped, so the trace stays valid UTF-8
// even for Windows-1251 values and firmware blocks.
std::string Quoted(const unsigned char* bytes, std::size_t count) {
    std::string text = "\"";
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned char byte = bytes[i];
        switch (byte) {
            case '\r': text += "\\r"; break;
            case '\n': text += "\\n"; break;
            case '\t': text += "\\t"; break;
            case '"': text += "\\\""; break;
            case '\\': text += "\\\\"; break;
            default:
                if (byte >= 0x20 && byte < 0x7F) {
                    text += static_cast<char>(byte);
                } else {
                    char escape[5];
                    std::snprintf(escape, sizeof escape, "\\x%02x", byte);
                    text += escape;
                }
        }
    }
    return text + "\"";
}

std::string Seconds(std::chrono::microseconds since_start) {
    char text[32];
    std::snprintf(text, sizeof text, "%11.6f", static_cast<double>(since_start.count()) / 1e6);
    return text;
}

std::string WallClockNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

}  // namespace

PortTrace::PortTrace(const std::filesystem::path& path)
    : path_(path), start_(std::chrono::steady_clock::now()) {
    // O_APPEND: traces of successive runs follow each other, and each line
    // lands whole even when another process writes the same file.
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd_ < 0) throw FileCreateError(path.string(), errno);
    WriteLine("# nkq port trace started " + WallClockNow() + "; times in seconds from here");
}

PortTrace::~PortTrace() {
    if (fd_ >= 0) ::close(fd_);
}

int PortTrace::WriteError() const {
    const std::lock_guard lock(mutex_);
    return write_error_;
}

int PortTrace::Close() {
    const std::lock_guard lock(mutex_);
    if (fd_ >= 0 && ::close(fd_) != 0 && write_error_ == 0) write_error_ = errno;
    fd_ = -1;
    return write_error_;
}

std::chrono::microseconds PortTrace::SinceStart() const {
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start_);
}

std::string PortTrace::FormatTransfer(std::chrono::microseconds since_start, const std::string& port,
                                      Direction direction, const unsigned char* bytes, std::size_t count) {
    std::string line = Seconds(since_start) + " " + port + (direction == Direction::Sent ? " -> " : " <- ") +
                       std::to_string(count);
    if (count == 0) return line + " (nothing arrived)";
    return line + " | " + Hex(bytes, count) + " | " + Quoted(bytes, count);
}

void PortTrace::Record(const std::string& port, Direction direction, const void* bytes, std::size_t count) {
    WriteLine(FormatTransfer(SinceStart(), port, direction, static_cast<const unsigned char*>(bytes), count));
}

void PortTrace::Note(const std::string& port, const std::string& text) {
    WriteLine(Seconds(SinceStart()) + " " + port + " -- " + text);
}

// One write() per line under the lock: nothing is buffered in the process,
// and lines of different threads never mix.
void PortTrace::WriteLine(const std::string& line) {
    const std::string whole = line + "\n";
    const std::lock_guard lock(mutex_);
    if (fd_ < 0) return;
    std::size_t done = 0;
    while (done < whole.size()) {
        const ssize_t n = ::write(fd_, whole.data() + done, whole.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            // A full disk must not break the exchange being traced.
            if (write_error_ == 0) write_error_ = n < 0 ? errno : ENOSPC;
            return;
        }
        done += static_cast<std::size_t>(n);
    }
}

std::shared_ptr<PortTrace> PortTraceFromEnvironment() {
    const char* path = std::getenv("NKQ_TRACE");
    if (path == nullptr || *path == '\0') return nullptr;
    try {
        return std::make_shared<PortTrace>(path);
    } catch (const Exception& e) {
        std::fprintf(stderr, "NKQ_TRACE: %s\n", e.Message().c_str());
        return nullptr;
    }
}

}  // namespace nkq
