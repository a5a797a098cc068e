#include "FieldText.h"

#include <string_view>

namespace nkq::journal {

namespace {

std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

std::string ModemText(const ModemIdentity& modem) {
    std::string text;
    for (std::string_view part : {modem.Name, modem.Device, modem.Version}) {
        part = Trimmed(part);
        if (part.empty()) continue;
        if (!text.empty()) text += ' ';
        text += part;
    }
    return text;
}

std::string MessageText(const OperatorMessage& message) {
    if (!message.Answer) return message.Text;
    return message.Text + (*message.Answer ? " [yes]" : " [no]");
}

std::string ExchangeText(const WriteExchange& exchange) {
    if (exchange.Answer.empty()) return exchange.Sent + " \u2192";
    return exchange.Sent + " \u2192 " + exchange.Answer;
}

}  // namespace nkq::journal
