#pragma once
// Modem and file texts are single-byte Windows-1251 and stay bytes in the
// core; the front ends convert only where a person reads or types them.
#include <string>

namespace nkq {

std::string Cp1251ToUtf8(const std::string& bytes);

// Characters without a Windows-1251 form become "?".
std::string Utf8ToCp1251(const std::string& text);

}  // namespace nkq
