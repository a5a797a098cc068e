#include "ModemCommandLine.h"

#include <functional>
#include <limits>
#include <string_view>

#include "app/TextConversions.h"

namespace nkq {

namespace {

struct Switch {
    std::string_view name;
    std::string_view value_name;  // empty: the switch takes no value
    std::string_view help;
    std::function<void(ModemCommandLine&, const std::string&)> apply;
};

int ToNumber(const std::string& name, const std::string& text) {
    try {
        const auto number = TextToInt(text);
        if (number >= 0) return number;
    } catch (const EConvertError&) {
    }
    throw EUsage(name + " needs a number of 0 or more, not '" + text + "'");
}

std::chrono::milliseconds ToMs(const std::string& name, const std::string& text) {
    return std::chrono::milliseconds{ToNumber(name, text)};
}

char ToByte(const std::string& name, const std::string& text) {
    if (text.size() != 1) throw EUsage(name + " needs exactly one character, not '" + text + "'");
    return text[0];
}

ModemBehaviour& BehaviourOf(ModemCommandLine& line) { return line.setup.behaviour; }

const std::vector<Switch>& Switches() {
    static const std::vector<Switch> switches{
        {"--help", "", "show this text and end", [](auto& l, auto&) { l.show_help = true; }},
        {"--link", "PATH", "make a symbolic link PATH to the device (e.g. /dev/ttyVMODEM0)",
         [](auto& l, auto& v) { l.setup.link_path = v; }},
        {"--trace", "FILE", "write every byte in both directions, with times, to FILE",
         [](auto& l, auto& v) { l.setup.trace_path = v; }},
        {"--params", "FILE", "start with the parameters of a settings file (lines KEY value)",
         [](auto& l, auto& v) { l.setup.parameters.Merge(ModemParameters::FromFile(v)); }},
        {"--param", "'KEY value'", "start with this one parameter (may be repeated)",
         [](auto& l, auto& v) {
             const auto [key, value] = ModemParameters::SplitLine(v);
             l.setup.parameters.Set(key, value);
         }},
        {"--silent", "", "never answer anything", [](auto& l, auto&) { BehaviourOf(l).silent = true; }},
        {"--delay", "MS", "wait MS milliseconds before every answer",
         [](auto& l, auto& v) { BehaviourOf(l).reply_delay = ToMs("--delay", v); }},
        {"--burst-gap", "MS", "send GET and TCP replies in two parts, MS milliseconds apart",
         [](auto& l, auto& v) { BehaviourOf(l).burst_gap = ToMs("--burst-gap", v); }},
        {"--burst-split", "N", "the second part starts at byte N (default: the middle)",
         [](auto& l, auto& v) {
             BehaviourOf(l).burst_split = static_cast<std::size_t>(ToNumber("--burst-split", v));
         }},
        {"--acks-byte-by-byte", "", "send every acknowledgement one byte at a time, 5 to 30 ms apart",
         [](auto& l, auto&) { BehaviourOf(l).acks_byte_by_byte = true; }},
        {"--unlisted", "KEY", "leave KEY out of the GET reply (may be repeated)",
         [](auto& l, auto& v) { BehaviourOf(l).unlisted_keys.push_back(v); }},
        {"--rs485", "", "RS485 interface: INTERFACE RS485 in GET, COMFC answered with the COM notice",
         [](auto& l, auto&) { BehaviourOf(l).rs485 = true; }},
        {"--refuse-cmd", "", "answer CMD with ERROR instead of READY",
         [](auto& l, auto&) { BehaviourOf(l).refuse_cmd = true; }},
        {"--reject-key", "KEY", "answer a parameter line with this key with ER",
         [](auto& l, auto& v) { BehaviourOf(l).reject_key = v; }},
        {"--bad-save", "", "answer SAVE with ER and keep nothing",
         [](auto& l, auto&) { BehaviourOf(l).bad_save = true; }},
        {"--nak-block", "N", "answer firmware block N (1 = first) with 1 ...",
         [](auto& l, auto& v) { BehaviourOf(l).nak_block = ToNumber("--nak-block", v); }},
        {"--nak-times", "K", "... K times before accepting it (default 1)",
         [](auto& l, auto& v) { BehaviourOf(l).nak_times = ToNumber("--nak-times", v); }},
        {"--bad-ack-block", "N", "answer firmware block N with an invalid byte",
         [](auto& l, auto& v) { BehaviourOf(l).bad_ack_block = ToNumber("--bad-ack-block", v); }},
        {"--bad-ack-byte", "C", "the invalid byte (default 2)",
         [](auto& l, auto& v) { BehaviourOf(l).bad_ack_byte = ToByte("--bad-ack-byte", v); }},
        {"--no-update-reply", "", "do not answer UPDATE",
         [](auto& l, auto&) { BehaviourOf(l).no_update_reply = true; }},
        {"--no-start-reply", "", "do not answer the loader's S",
         [](auto& l, auto&) { BehaviourOf(l).no_start_reply = true; }},
        {"--no-count-reply", "", "do not answer the block count",
         [](auto& l, auto&) { BehaviourOf(l).no_count_reply = true; }},
        {"--repeat-delay", "MS", "send a repeated answer MS milliseconds after the real one (default 20)",
         [](auto& l, auto& v) { BehaviourOf(l).repeat_delay = ToMs("--repeat-delay", v); }},
        {"--repeat-line-ack", "N", "send the answer to parameter line N (1 = first after CMD) twice",
         [](auto& l, auto& v) { BehaviourOf(l).repeat_line_ack = ToNumber("--repeat-line-ack", v); }},
        {"--repeat-ready", "", "send the READY to CMD twice",
         [](auto& l, auto&) { BehaviourOf(l).repeat_ready = true; }},
        {"--repeat-save", "", "send the OK to SAVE twice",
         [](auto& l, auto&) { BehaviourOf(l).repeat_save = true; }},
        {"--repeat-count-ack", "", "send the 0 to the firmware block count twice",
         [](auto& l, auto&) { BehaviourOf(l).repeat_count_ack = true; }},
        {"--repeat-block-ack", "N", "send the answer to firmware block N (1 = first) twice",
         [](auto& l, auto& v) { BehaviourOf(l).repeat_block_ack = ToNumber("--repeat-block-ack", v); }},
        {"--endless-reply", "", "answer GET with bytes every 50 ms until the next input",
         [](auto& l, auto&) { BehaviourOf(l).endless_reply = true; }},
        {"--endless-limit", "MS", "stop an endless reply after MS milliseconds (default 30000)",
         [](auto& l, auto& v) { BehaviourOf(l).endless_limit = ToMs("--endless-limit", v); }},
        {"--hangup-get-bytes", "N", "hang up after sending N bytes of a GET reply",
         [](auto& l, auto& v) {
             BehaviourOf(l).hang_up_after_get_bytes =
                 static_cast<std::size_t>(ToNumber("--hangup-get-bytes", v));
         }},
        {"--hangup-lines", "K", "hang up after acknowledging K parameter lines",
         [](auto& l, auto& v) { BehaviourOf(l).hang_up_after_lines = ToNumber("--hangup-lines", v); }},
        {"--hangup-packets", "K", "hang up after accepting K firmware packets",
         [](auto& l, auto& v) { BehaviourOf(l).hang_up_after_packets = ToNumber("--hangup-packets", v); }},
        {"--hangup-linger", "MS", "hold the line this long before hanging up (default 1000)",
         [](auto& l, auto& v) { BehaviourOf(l).hang_up_linger = ToMs("--hangup-linger", v); }},
        {"--real-speed", "", "send and take in bytes at the pace of a real 115200 bit/s line",
         [](auto& l, auto&) { BehaviourOf(l).real_speed = true; }},
        {"--connection", "TEXT", "a TCP connection to report, e.g. 192.168.0.5:1234 (may be repeated)",
         [](auto& l, auto& v) { BehaviourOf(l).connections.push_back(v); }},
        {"--no-connections", "", "report no TCP connection",
         [](auto& l, auto&) { BehaviourOf(l).connections.clear(); }},
    };
    return switches;
}

const Switch& FindSwitch(const std::string& name) {
    for (const auto& candidate : Switches()) {
        if (candidate.name == name) return candidate;
    }
    throw EUsage("unknown switch '" + name + "'");
}

}  // namespace

ModemCommandLine ParseModemCommandLine(const std::vector<std::string>& arguments) {
    ModemCommandLine line;
    bool connections_given = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const Switch& found = FindSwitch(arguments[i]);
        std::string value;
        if (!found.value_name.empty()) {
            if (i + 1 >= arguments.size()) throw EUsage(arguments[i] + " needs a value");
            value = arguments[++i];
        }
        // The first --connection replaces the built-in list instead of adding to it.
        if (found.name == "--connection" && !connections_given) {
            line.setup.behaviour.connections.clear();
            connections_given = true;
        }
        found.apply(line, value);
    }
    return line;
}

std::string ModemUsageText(const std::string& program) {
    std::string text = "Usage: " + program +
                       " [switches]\n"
                       "A modem on a pseudo-terminal. Prints the device path as the first line,\n"
                       "then answers until SIGINT or SIGTERM.\n\n";
    for (const auto& item : Switches()) {
        std::string head = "  " + std::string(item.name);
        if (!item.value_name.empty()) head += " " + std::string(item.value_name);
        head.resize(std::max<std::size_t>(head.size() + 1, 28), ' ');
        text += head + std::string(item.help) + "\n";
    }
    return text;
}

}  // namespace nkq
