#include "serial/PortTrace.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "TraceFile.h"
#include "app/Failure.h"
#include "app/Utf8Path.h"

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
            case '\r':
                text += "\\r";
                break;
            case '\n':
                text += "\\n";
                break;
            case '\t':
                text += "\\t";
                break;
            case '"':
                text += "\\\"";
                break;
            case '\\':
                text += "\\\\";
                break;
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
    const std::tm local = LocalTime(std::time(nullptr));
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

}  // namespace

PortTrace::PortTrace(const std::filesystem::path& path)
    : path_(path), start_(std::chrono::steady_clock::now()), file_(std::make_unique<TraceFile>(path)) {
    // Traces of successive runs follow each other in the same file.
    WriteLine("# nkq port trace started " + WallClockNow() + "; times in seconds from here");
}

PortTrace::~PortTrace() = default;

int PortTrace::WriteError() const {
    const std::lock_guard lock(mutex_);
    return write_error_;
}

int PortTrace::Close() {
    const std::lock_guard lock(mutex_);
    if (!file_) return write_error_;
    const int error = file_->Close();
    if (write_error_ == 0) write_error_ = error;
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

// One append per line under the lock: lines of different threads never mix.
void PortTrace::WriteLine(const std::string& line) {
    const std::lock_guard lock(mutex_);
    // The first failure is kept for the caller; the exchange goes on.
    const int error = file_->Append(line + "\n");
    if (write_error_ == 0) write_error_ = error;
}

std::shared_ptr<PortTrace> PortTraceFromEnvironment() {
    const char* path = std::getenv("NKQ_TRACE");
    if (path == nullptr || *path == '\0') return nullptr;
    try {
        return std::make_shared<PortTrace>(PathFromUtf8(path));
    } catch (const Exception& e) {
        std::fprintf(stderr, "NKQ_TRACE: %s\n", e.Message().c_str());
        return nullptr;
    }
}

}  // namespace nkq
