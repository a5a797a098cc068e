#include "app/CatalogueLanguage.h"

#include <cstdlib>

namespace nkq {

namespace {

bool IsSet(const char* value) { return value != nullptr && *value != '\0'; }

bool IsLower(char c) { return c >= 'a' && c <= 'z'; }
bool IsUpper(char c) { return c >= 'A' && c <= 'Z'; }

}  // namespace

LocaleEnvironment LocaleEnvironment::Current() {
    return {std::getenv("LANG"), std::getenv("LC_ALL"), std::getenv("LC_MESSAGES")};
}

std::optional<std::string> TwoLetterLocale(std::string_view locale_name) {
    if (locale_name.size() < 5) return std::nullopt;
    if (!IsLower(locale_name[0]) || !IsLower(locale_name[1]) || locale_name[2] != '_' ||
        !IsUpper(locale_name[3]) || !IsUpper(locale_name[4])) {
        return std::nullopt;
    }
    // "deu_DE" or "de_DEU" name no two-letter codes.
    if (locale_name.size() > 5 && (IsLower(locale_name[5]) || IsUpper(locale_name[5]))) return std::nullopt;
    return std::string(locale_name.substr(0, 5));
}

std::string UserLocaleLanguage(const LocaleEnvironment& environment) {
    // The first set variable decides, as it does for the C library: a user
    // locale of "C" has no language even when LC_MESSAGES names one.
    const char* name = IsSet(environment.lc_all) ? environment.lc_all : environment.lc_messages;
    if (!IsSet(name)) return kFallbackLanguage;
    return TwoLetterLocale(name).value_or(kFallbackLanguage);
}

std::string CatalogueLanguage(const LocaleEnvironment& environment) {
    if (!IsSet(environment.lang)) return UserLocaleLanguage(environment);
    const std::string_view lang = environment.lang;
    return std::string(lang.substr(0, lang.find('.')));
}

}  // namespace nkq
