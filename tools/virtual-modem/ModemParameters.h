#pragma once
// The parameters the modem keeps, in the order it lists them after "GET".
// Values are single-byte text and are kept exactly as written to the modem.
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace nkq {

class ModemParameters {
public:
    using Entry = std::pair<std::string, std::string>;

    // A modem fresh from the factory, in client mode.
    static ModemParameters Defaults();
    // Lines "KEY value" separated by CR, LF or CR LF; blank lines are skipped.
    static ModemParameters FromText(const std::string& text);
    // Reads a settings file; EFOpenError when it cannot be read.
    static ModemParameters FromFile(const std::string& path);

    // Replaces the value of a known key or appends a new key at the end.
    void Set(const std::string& key, const std::string& value);
    std::optional<std::string> Get(const std::string& key) const;
    // Sets every entry of `other` here, in its order.
    void Merge(const ModemParameters& other);
    void Clear() { entries_.clear(); }
    bool Empty() const { return entries_.empty(); }

    const std::vector<Entry>& Entries() const { return entries_; }
    // Each entry as "KEY value" (a key without a value keeps its blank).
    std::vector<std::string> Lines() const;

    // Splits a parameter line at its first blank; a line without one is all key.
    static Entry SplitLine(const std::string& line);

    bool operator==(const ModemParameters&) const = default;

private:
    std::vector<Entry> entries_;
};

}  // namespace nkq
