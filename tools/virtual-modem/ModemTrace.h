#pragma once
// Every byte that crosses the virtual line, with the time it crossed, so a
// test can check exactly what the workstation sent and what it was told.
#include <chrono>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace nkq {

enum class TraceDirection { ToModem, FromModem };

struct TraceEntry {
    std::chrono::microseconds time;  // since the modem started
    TraceDirection direction;
    std::string bytes;
};

class ModemTrace {
public:
    // An empty path keeps the trace in memory only; EFCreateError when the
    // file cannot be created.
    explicit ModemTrace(const std::string& file_path = "");

    void Record(TraceDirection direction, const std::string& bytes);

    std::vector<TraceEntry> Entries() const;
    // All bytes of one direction, joined in order.
    std::string Bytes(TraceDirection direction) const;

    // One entry as a line of the trace file: time in microseconds, "RX" for
    // bytes the modem received or "TX" for bytes it sent, then the bytes
    // quoted with C escapes.
    static std::string FormatEntry(const TraceEntry& entry);

private:
    struct FileCloser {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };

    const std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    mutable std::mutex mutex_;
    std::vector<TraceEntry> entries_;
    std::unique_ptr<std::FILE, FileCloser> file_;
};

}  // namespace nkq
