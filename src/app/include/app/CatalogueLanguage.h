#pragma once
// Which language's catalogue the program reads: taken from LANG, or from the
// user locale when LANG says nothing.
#include <optional>
#include <string>
#include <string_view>

namespace nkq {

// Used when the user locale names no two-letter language and country.
inline constexpr const char* kFallbackLanguage = "en_US";

// The locale variables as the process found them; nullptr for an unset one.
struct LocaleEnvironment {
    const char* lang = nullptr;
    const char* lc_all = nullptr;
    const char* lc_messages = nullptr;

    static LocaleEnvironment Current();
};

// "ll_CC" when `locale_name` begins with a two-letter language, "_" and a
// two-letter country ("de_DE.UTF-8@euro" gives "de_DE"), otherwise nothing.
std::optional<std::string> TwoLetterLocale(std::string_view locale_name);

// The user locale of the messages category (LC_ALL before LC_MESSAGES) as
// "ll_CC", or kFallbackLanguage.
std::string UserLocaleLanguage(const LocaleEnvironment& environment);

// LANG cut before its first "."; the user locale when LANG is unset or empty.
std::string CatalogueLanguage(const LocaleEnvironment& environment);

}  // namespace nkq
