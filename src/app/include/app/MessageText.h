#pragma once
// Filling the placeholders of a message. Library texts come from translators,
// so a pattern may hold fewer placeholders than expected (or none): the
// extra values are dropped, nothing ever throws.
#include <initializer_list>
#include <string>
#include <string_view>

namespace nkq {

// Replaces the placeholders "%s" and "%d" of `pattern`, left to right, with
// `values` in order. An inserted value is never scanned again, so a "%s"
// inside it stays as it is.
std::string FillIn(std::string pattern, std::initializer_list<std::string_view> values);

}  // namespace nkq
