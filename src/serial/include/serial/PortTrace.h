#pragma once
// A record of every byte that crosses a serial port, for support: when a
// modem misbehaves in the field, the exchange itself shows who said what
// and when. One line per read or write call, written through at once so
// that a crash keeps everything up to the crash. Safe to share between the
// ports of several threads.
#include <chrono>
#include <cstddef>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>

namespace nkq {

class PortTrace {
public:
    enum class Direction { Sent, Received };

    // Appends to `path`, creating it when missing, and starts the clock with
    // a header line. Raises EFCreateError when the file cannot be opened.
    explicit PortTrace(const std::filesystem::path& path);
    ~PortTrace();
    PortTrace(const PortTrace&) = delete;
    PortTrace& operator=(const PortTrace&) = delete;

    // One transfer of `count` bytes on `port`; a read that got nothing is
    // recorded too (count 0), since a silent modem is what support looks for.
    void Record(const std::string& port, Direction direction, const void* bytes, std::size_t count);
    // An event of the port without bytes: open, close, a failed open.
    void Note(const std::string& port, const std::string& text);

    const std::filesystem::path& Path() const { return path_; }

    // A failed write leaves the exchange being traced alone; the errno of
    // the first one is kept here, 0 while every line was written.
    int WriteError() const;
    // Closes the file now and returns WriteError(), a failed close included:
    // a full disk may show only there. Lines after it are not written.
    int Close();

    // The line for one transfer, without its line end: seconds since the
    // start, the port, "->" sent or "<-" received, the count, the bytes in
    // hex and as a quoted text with C escapes.
    static std::string FormatTransfer(std::chrono::microseconds since_start, const std::string& port,
                                      Direction direction, const unsigned char* bytes, std::size_t count);

private:
    void WriteLine(const std::string& line);
    std::chrono::microseconds SinceStart() const;

    const std::filesystem::path path_;
    const std::chrono::steady_clock::time_point start_;
    mutable std::mutex mutex_;
    int fd_ = -1;
    int write_error_ = 0;
};

// The trace that the environment variable NKQ_TRACE names, for the window
// (which takes no arguments); null when the variable is unset or empty.
// A file that cannot be opened is told on standard error and leaves the
// trace off: a diagnostic aid must not stop the workstation from starting.
std::shared_ptr<PortTrace> PortTraceFromEnvironment();

}  // namespace nkq
