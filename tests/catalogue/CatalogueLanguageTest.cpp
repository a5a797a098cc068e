// Which language a program reads its catalogue for.
#include <gtest/gtest.h>

#include "app/CatalogueLanguage.h"

namespace nkq {
namespace {

struct LanguageCase {
    const char* lang;
    const char* lc_all;
    const char* lc_messages;
    std::string expected;
};

TEST(CatalogueLanguage, LangIsCutBeforeItsFirstPeriod) {
    const std::vector<LanguageCase> cases{
        {"de_DE", nullptr, nullptr, "de_DE"},
        {"de_DE.UTF-8", nullptr, nullptr, "de_DE"},
        {"de_DE.ISO-8859-1@euro", nullptr, nullptr, "de_DE"},
        {"de_DE@euro", nullptr, nullptr, "de_DE@euro"},
        {"de", nullptr, nullptr, "de"},
        {"C", nullptr, nullptr, "C"},
        {"C.UTF-8", nullptr, nullptr, "C"},
        {".UTF-8", nullptr, nullptr, ""},
        // LANG decides even when the other variables name another locale.
        {"xx_YY.UTF-8", "fr_FR.UTF-8", "it_IT", "xx_YY"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CatalogueLanguage({c.lang, c.lc_all, c.lc_messages}), c.expected) << c.lang;
    }
}

TEST(CatalogueLanguage, WithoutLangTheUserLocaleGivesLanguageAndCountry) {
    const std::vector<LanguageCase> cases{
        {nullptr, "fr_FR.UTF-8", nullptr, "fr_FR"},
        {"", "fr_FR.UTF-8", nullptr, "fr_FR"},
        {nullptr, nullptr, "ru_RU.CP1251", "ru_RU"},
        {"", "", "ru_RU", "ru_RU"},
        {nullptr, "pt_BR@latin", "ru_RU", "pt_BR"},
        // A user locale of "C" hides LC_MESSAGES, as it does for the C library.
        {nullptr, "C", "ru_RU", kFallbackLanguage},
        {nullptr, "POSIX", nullptr, kFallbackLanguage},
        {nullptr, "C.UTF-8", nullptr, kFallbackLanguage},
        {nullptr, nullptr, nullptr, kFallbackLanguage},
        {"", "", "", kFallbackLanguage},
        {nullptr, "de", nullptr, kFallbackLanguage},
        {nullptr, "deu_DE", nullptr, kFallbackLanguage},
        {nullptr, "de_DEU", nullptr, kFallbackLanguage},
        {nullptr, "DE_de", nullptr, kFallbackLanguage},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CatalogueLanguage({c.lang, c.lc_all, c.lc_messages}), c.expected)
            << (c.lc_all ? c.lc_all : "(unset)") << " / " << (c.lc_messages ? c.lc_messages : "(unset)");
    }
}

TEST(CatalogueLanguage, TheFallbackIsAPlainLanguageAndCountry) {
    EXPECT_EQ(TwoLetterLocale(kFallbackLanguage), kFallbackLanguage);
}

}  // namespace
}  // namespace nkq
