// A "TCP" reply is the modem's text: the status list built from it always
// starts with its heading and holds one line per "IP" line, whatever the bytes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "operations/ServerStatus.h"
#include "protocol/TextLines.h"

namespace {

std::size_t ConnectionLines(const std::string& answer) {
    std::size_t count = 0;
    for (const auto& line : nkq::SplitLines(answer)) count += line.rfind("IP", 0) == 0 ? 1 : 0;
    return count;
}

std::size_t LineEnds(const std::string& text) {
    std::size_t count = 0;
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) ++count;
    return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string answer(reinterpret_cast<const char*>(data), size);
    const std::string text = nkq::ShowConnections(answer);
    const std::string heading = std::string(nkq::kConnectionsHeading) + "\r\n";
    NKQ_FUZZ_CHECK(text.compare(0, heading.size(), heading) == 0);
    // Connection texts hold no line break of their own (Windows-1251 has
    // none outside CR and LF), so the line ends count the lines.
    NKQ_FUZZ_CHECK(LineEnds(text) == 1 + ConnectionLines(answer));
    return 0;
}
