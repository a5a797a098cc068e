#pragma once
// Windows only: the program keeps paths as UTF-8 text and hands them to the
// wide-character calls, so a folder named in any script works.
#include <string>

namespace nkq {

std::wstring WidePath(const std::string& utf8);
std::string Utf8Path(const std::wstring& wide);

}  // namespace nkq
