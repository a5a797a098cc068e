#include "ModemTrace.h"

#include <cerrno>
#include <cstdio>

#include "app/Failure.h"

namespace nkq {

namespace {

std::string Escape(const std::string& bytes) {
    std::string text;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\r') {
            text += "\\r";
        } else if (c == '\n') {
            text += "\\n";
        } else if (c == '\\' || c == '"') {
            text += '\\';
            text += c;
        } else if (byte < 0x20 || byte >= 0x7f) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", byte);
            text += hex;
        } else {
            text += c;
        }
    }
    return text;
}

}  // namespace

ModemTrace::ModemTrace(const std::string& file_path) {
    if (file_path.empty()) return;
    file_.reset(std::fopen(file_path.c_str(), "w"));
    if (!file_) throw FileCreateError(file_path, errno);
    std::fputs("# time_us dir bytes (RX: received by the modem, TX: sent by the modem)\n", file_.get());
    std::fflush(file_.get());
}

void ModemTrace::Record(TraceDirection direction, const std::string& bytes) {
    if (bytes.empty()) return;
    const auto time =
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start_);
    std::lock_guard lock(mutex_);
    entries_.push_back({time, direction, bytes});
    if (file_) {
        std::fputs((FormatEntry(entries_.back()) + "\n").c_str(), file_.get());
        std::fflush(file_.get());
    }
}

std::vector<TraceEntry> ModemTrace::Entries() const {
    std::lock_guard lock(mutex_);
    return entries_;
}

std::string ModemTrace::Bytes(TraceDirection direction) const {
    std::lock_guard lock(mutex_);
    std::string bytes;
    for (const auto& entry : entries_) {
        if (entry.direction == direction) bytes += entry.bytes;
    }
    return bytes;
}

std::string ModemTrace::FormatEntry(const TraceEntry& entry) {
    const char* direction = entry.direction == TraceDirection::ToModem ? "RX" : "TX";
    return std::to_string(entry.time.count()) + " " + direction + " \"" + Escape(entry.bytes) + "\"";
}

}  // namespace nkq
