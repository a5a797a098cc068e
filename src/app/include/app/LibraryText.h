#pragma once
// Every English text of the shared layers passes through here each time it is
// loaded, so that an installed message catalogue can translate it. The
// program's own Russian texts never do.
#include <string>

namespace nkq {

inline constexpr const char* kDefaultDomain = "default";

// Returns the translation of `english` in `domain`, or `english` itself.
std::string LibraryText(const char* english, const char* domain = kDefaultDomain);

}  // namespace nkq
