// The conversion on POSIX: iconv.
#include "CharsetToUtf8.h"

#include <iconv.h>

namespace nkq {

struct CharsetToUtf8::Converter {
    iconv_t handle;
};

CharsetToUtf8::CharsetToUtf8(const std::string& charset) {
    if (IsUtf8Compatible(charset)) return;
    const iconv_t handle = iconv_open("UTF-8", charset.c_str());
    if (handle != reinterpret_cast<iconv_t>(-1)) converter_ = std::make_unique<Converter>(Converter{handle});
}

CharsetToUtf8::~CharsetToUtf8() {
    if (converter_) iconv_close(converter_->handle);
}

std::string CharsetToUtf8::operator()(std::string_view text) const {
    std::string input(text);
    if (!converter_) return input;
    std::string output(input.size() * 4 + 4, '\0');
    char* in = input.data();
    std::size_t in_left = input.size();
    char* out = output.data();
    std::size_t out_left = output.size();
    iconv(converter_->handle, nullptr, nullptr, nullptr, nullptr);
    if (iconv(converter_->handle, &in, &in_left, &out, &out_left) == static_cast<std::size_t>(-1))
        return input;
    output.resize(output.size() - out_left);
    return output;
}

}  // namespace nkq
