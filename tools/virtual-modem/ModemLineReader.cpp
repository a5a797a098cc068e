#include "ModemLineReader.h"

#include "protocol/ModemCommands.h"

namespace nkq {

std::optional<std::string> ModemLineReader::Feed(char byte) {
    if (byte != modem::kCR && byte != modem::kLF) {
        if (line_.size() < kMaxLineLength) {
            line_ += byte;
        } else {
            too_long_ = true;
        }
        return std::nullopt;
    }
    std::string line = std::move(line_);
    line_.clear();
    const bool dropped = too_long_;
    too_long_ = false;
    if (line.empty() || dropped) return std::nullopt;
    return line;
}

void ModemLineReader::Clear() {
    line_.clear();
    too_long_ = false;
}

}  // namespace nkq
