// Which code sets need no conversion, the same on every platform.
#include "CharsetToUtf8.h"

namespace nkq {

namespace {

std::string LowerCase(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

}  // namespace

bool IsUtf8Compatible(const std::string& charset) {
    const std::string name = LowerCase(charset);
    return name.empty() || name == "utf-8" || name == "utf8" || name == "ascii" || name == "us-ascii" ||
           name == "charset";
}

}  // namespace nkq
