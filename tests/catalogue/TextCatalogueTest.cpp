// One program's catalogues in a temporary locale folder: which file a
// language finds, when it is opened, and what an invalid one does.
#include <gtest/gtest.h>

#include <thread>

#include "CatalogueFiles.h"
#include "app/EInvalidCatalogue.h"
#include "app/TextCatalogue.h"

namespace nkq::testing {
namespace {

namespace fs = std::filesystem;

class TextCatalogueTest : public ::testing::Test {
protected:
    // Each catalogue translates "OK" into the name of its own folder, so a
    // lookup shows which file was read.
    void Install(const std::string& language, const std::string& domain = "default") {
        CompileCatalogue(CatalogueFile(locale, language, domain), {{"OK", "OK-" + language + "-" + domain}});
    }
    std::string Lookup(const std::string& language, const char* domain = "default") {
        TextCatalogue catalogue(locale, language);
        catalogue.AddDomain("default");
        catalogue.AddDomain("cport");
        return catalogue.Translate("OK", domain);
    }

    TempFolder root{"text"};
    fs::path locale = root.Path() / "locale";
};

TEST_F(TextCatalogueTest, TheFullLanguageComesBeforeItsFirstTwoLetters) {
    Install("de_DE");
    Install("de");
    Install("xx_YY");
    const std::vector<std::pair<std::string, std::string>> cases{
        {"de_DE", "OK-de_DE-default"},
        {"de_AT", "OK-de-default"},
        {"de", "OK-de-default"},
        {"de_DE@euro", "OK-de-default"},
        {"xx_YY", "OK-xx_YY-default"},
        {"xx_ZZ", "OK"},
        {"fr_FR", "OK"},
        {"", "OK"},
        {"C", "OK"},
    };
    for (const auto& [language, expected] : cases) EXPECT_EQ(Lookup(language), expected) << language;
}

TEST_F(TextCatalogueTest, EachDomainHasItsOwnFileAndAnUnknownDomainNone) {
    Install("de_DE");
    EXPECT_EQ(Lookup("de_DE", "cport"), "OK");
    Install("de_DE", "cport");
    EXPECT_EQ(Lookup("de_DE", "cport"), "OK-de_DE-cport");
    EXPECT_EQ(Lookup("de_DE", "default"), "OK-de_DE-default");
    EXPECT_EQ(Lookup("de_DE", "other"), "OK");
}

TEST_F(TextCatalogueTest, AFolderNamedLikeTheFileIsNoCatalogue) {
    fs::create_directories(CatalogueFile(locale, "de_DE"));
    Install("de");
    EXPECT_EQ(Lookup("de_DE"), "OK-de-default");
}

TEST_F(TextCatalogueTest, ALanguageCannotReachOutsideTheLocaleFolder) {
    CompileCatalogue(CatalogueFile(root.Path(), "evil"), {{"OK", "escaped"}});
    Install("de");
    EXPECT_EQ(Lookup("../evil"), "OK");
    EXPECT_EQ(Lookup("de/../../evil"), "OK");
    EXPECT_FALSE(FindCatalogueFile(locale, "../evil", "default"));
}

TEST_F(TextCatalogueTest, TheFileIsOpenedAtTheFirstLookupAndKept) {
    TextCatalogue catalogue(locale, "de_DE");
    catalogue.AddDomain("default");
    catalogue.AddDomain("cport");
    Install("de_DE");  // after set-up, before the first lookup: used
    EXPECT_EQ(catalogue.Translate("OK", "default"), "OK-de_DE-default");
    fs::remove(CatalogueFile(locale, "de_DE"));
    EXPECT_EQ(catalogue.Translate("OK", "default"), "OK-de_DE-default");

    EXPECT_EQ(catalogue.Translate("OK", "cport"), "OK");  // none at its first lookup
    Install("de_DE", "cport");
    EXPECT_EQ(catalogue.Translate("OK", "cport"), "OK");
}

TEST_F(TextCatalogueTest, AnInvalidFileFailsEveryLookupOfItsDomainOnly) {
    const auto path = CatalogueFile(locale, "de_DE");
    WriteFile(path, "This is no catalogue at all");
    Install("de_DE", "cport");
    TextCatalogue catalogue(locale, "de_DE");
    catalogue.AddDomain("default");
    catalogue.AddDomain("cport");
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            catalogue.Translate("Unable to open com port", "default");
            ADD_FAILURE() << "lookup in an invalid catalogue succeeded";
        } catch (const EInvalidCatalogue& e) {
            EXPECT_EQ(e.Message(), "This file is not a valid GNU gettext mo file: " + path.string());
        }
    }
    EXPECT_EQ(catalogue.Translate("OK", "cport"), "OK-de_DE-cport");
}

TEST_F(TextCatalogueTest, ThreadsLookingUpTogetherAllGetTheTranslation) {
    Install("de_DE");
    TextCatalogue catalogue(locale, "de_DE");
    catalogue.AddDomain("default");
    std::vector<std::string> results(8);
    {
        std::vector<std::jthread> threads;
        for (auto& result : results) {
            threads.emplace_back([&catalogue, &result] {
                for (int i = 0; i < 200; ++i) result = catalogue.Translate("OK", "default");
            });
        }
    }
    for (const auto& result : results) EXPECT_EQ(result, "OK-de_DE-default");
}

}  // namespace
}  // namespace nkq::testing
