#pragma once
// The file a port trace appends to: every line lands whole at the end, even
// when another process writes the same file, and nothing is buffered in the
// process. Each platform opens and writes it with its own calls.
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <string>

namespace nkq {

class TraceFile {
public:
    // Appends to `path`, creating it when missing; EFCreateError when it
    // cannot be opened.
    explicit TraceFile(const std::filesystem::path& path);
    ~TraceFile();
    TraceFile(const TraceFile&) = delete;
    TraceFile& operator=(const TraceFile&) = delete;

    // Best effort: a full disk must not break the exchange being traced.
    // Returns 0, or the system's error number when the bytes did not all go.
    int Append(const std::string& bytes) noexcept;
    // Closes the file now; 0, or the error the close reported (a full disk
    // may show only there). Nothing is appended after it.
    int Close() noexcept;

private:
    std::intptr_t handle_;
    bool open_ = true;
};

// The local time broken down, for the trace's header line.
std::tm LocalTime(std::time_t time);

}  // namespace nkq
