#pragma once
// The modem's reader of text lines, apart from its thread and its line, so
// that any byte stream can be fed through it directly (tests, fuzzing).
#include <cstddef>
#include <optional>
#include <string>

namespace nkq {

class ModemLineReader {
public:
    // No command or parameter line comes near this; a longer one is dropped
    // whole rather than held without bound.
    static constexpr std::size_t kMaxLineLength = 4096;

    // Takes one byte. A CR or LF ends the line: returns it unless it was
    // empty or too long.
    std::optional<std::string> Feed(char byte);

    // Forgets a half-read line (the client went away).
    void Clear();

    // Bytes held for the line being read; never more than kMaxLineLength.
    std::size_t PendingSize() const { return line_.size(); }

private:
    std::string line_;
    bool too_long_ = false;
};

}  // namespace nkq
