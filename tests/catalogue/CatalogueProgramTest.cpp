// The programs themselves, copied into a temporary folder with a locale
// folder beside them and run with a chosen environment: nkq as a script runs
// it, and a probe that prints single lookups.
#include <gtest/gtest.h>

#include "CatalogueFiles.h"
#include "ProgramRun.h"
#include "VirtualModem.h"
#include "app/OperatorMessages.h"

namespace nkq::testing {
namespace {

namespace fs = std::filesystem;

const Entries kGerman{
    {"Unable to open com port", "COM-Port lässt sich nicht öffnen"},
    {" (win error code: %d)", " (Windows-Fehlercode: %d)"},
    {"Cannot open file \"%s\". %s", "Datei „%s“ kann nicht geöffnet werden: %s"},
    {"'%s' is not a valid integer value", "»%s« ist keine gültige Ganzzahl"},
    {"OK", "Gut"},
    // The program's own Russian texts must never be looked up.
    {messages::kReadSucceeded, "Parameter gelesen"},
    {"Модель: %s", "Modell: %s"},
};

class CatalogueProgramTest : public ::testing::Test {
protected:
    CatalogueProgramTest() {
        for (const auto& [from, name] : {std::pair{NKQ_PROGRAM, "nkq"}, std::pair{PROBE_PROGRAM, "probe"}}) {
            fs::copy_file(from, root.Path() / name);
        }
    }

    // Runs a copied program with LANG, LC_ALL, LC_MESSAGES and LANGUAGE unset
    // except for what `environment` sets.
    ProgramResult Run(const std::string& name, const std::vector<std::string>& environment,
                      const std::vector<std::string>& arguments) const {
        std::vector<std::string> env_arguments{"-u", "LANG",        "-u", "LC_ALL",
                                               "-u", "LC_MESSAGES", "-u", "LANGUAGE"};
        env_arguments.insert(env_arguments.end(), environment.begin(), environment.end());
        env_arguments.push_back((root.Path() / name).string());
        env_arguments.insert(env_arguments.end(), arguments.begin(), arguments.end());
        return RunProgram("/usr/bin/env", env_arguments);
    }
    ProgramResult Probe(const std::vector<std::string>& environment,
                        const std::vector<std::string>& arguments) const {
        return Run("probe", environment, arguments);
    }
    void Install(const std::string& language, const Entries& entries = kGerman,
                 ByteOrder order = ByteOrder::Little, const std::string& domain = "default") {
        CompileCatalogue(CatalogueFile(locale, language, domain), entries, order);
    }

    TempFolder root{"program"};
    fs::path locale = root.Path() / "locale";
};

TEST_F(CatalogueProgramTest, NkqShowsTheTranslatedPortErrorAndSuffix) {
    for (const auto order : {ByteOrder::Little, ByteOrder::Big}) {
        Install("de_DE", kGerman, order);
        const auto result = Run("nkq", {"LANG=de_DE.UTF-8"}, {"read", "--port", "/dev/nkq-missing"});
        EXPECT_EQ(result.exit_status, 1);
        EXPECT_EQ(result.err, "COM-Port lässt sich nicht öffnen (Windows-Fehlercode: 2)\n");
    }
}

TEST_F(CatalogueProgramTest, NkqWithoutACatalogueShowsTheTextsAsWritten) {
    Install("fr_FR");  // another language's catalogue is no catalogue for de_DE
    const auto result = Run("nkq", {"LANG=de_DE.UTF-8"}, {"read", "--port", "/dev/nkq-missing"});
    EXPECT_EQ(result.exit_status, 1);
    EXPECT_EQ(result.err, "Unable to open com port (win error code: 2)\n");
}

TEST_F(CatalogueProgramTest, NkqFillsTheTranslatedFilePattern) {
    Install("de");
    const auto missing = (root.Path() / "missing.txt").string();
    const auto result = Run("nkq", {"LANG=de_AT.UTF-8"}, {"write", "--port", "/dev/nkq-missing", missing});
    EXPECT_EQ(result.exit_status, 1);
    EXPECT_EQ(result.err, "Datei „" + missing + "“ kann nicht geöffnet werden: No such file or directory.\n");
}

TEST_F(CatalogueProgramTest, NkqKeepsTheRussianOperatorMessages) {
    Install("de_DE");
    VirtualModem modem;
    const auto result = Run("nkq", {"LANG=de_DE.UTF-8"}, {"read", "--port", modem.DevicePath()});
    ASSERT_EQ(result.exit_status, 0) << result.err;
    EXPECT_NE(result.err.find(std::string(messages::kReadSucceeded) + "\n"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("Модель: "), std::string::npos) << result.err;
    EXPECT_EQ(result.err.find("gelesen"), std::string::npos) << result.err;
}

TEST_F(CatalogueProgramTest, PortTextAndSuffixAreTranslatedApart) {
    Install("de_DE", {{"Unable to open com port", "Port zu"}});
    Install("fr_FR", {{" (win error code: %d)", " (code d'erreur : %d)"}});
    EXPECT_EQ(Probe({"LANG=de_DE"}, {"--com-error", "1", "2"}).out, "Port zu (win error code: 2)\n");
    EXPECT_EQ(Probe({"LANG=fr_FR"}, {"--com-error", "1", "13"}).out,
              "Unable to open com port (code d'erreur : 13)\n");
}

TEST_F(CatalogueProgramTest, LangSelectsTheCatalogue) {
    Install("de_DE", {{"OK", "OK de_DE"}});
    Install("de", {{"OK", "OK de"}});
    Install("xx_YY", {{"OK", "OK xx_YY"}}, ByteOrder::Big);  // no system locale has this name
    const std::vector<std::pair<std::string, std::string>> cases{
        {"LANG=de_DE", "OK de_DE\n"},
        {"LANG=de_DE.UTF-8", "OK de_DE\n"},
        {"LANG=de_DE.ISO-8859-1", "OK de_DE\n"},
        {"LANG=de_AT", "OK de\n"},
        {"LANG=de_CH.UTF-8", "OK de\n"},
        {"LANG=xx_YY.UTF-8", "OK xx_YY\n"},
        {"LANG=fr_FR.UTF-8", "OK\n"},
        {"LANG=C", "OK\n"},
        {"LANG=../de_DE", "OK\n"},
        {"LANG=x/../de_DE", "OK\n"},
    };
    for (const auto& [assignment, expected] : cases) {
        const auto result = Probe({assignment, "LC_ALL=C"}, {"OK"});
        EXPECT_EQ(result.exit_status, 0) << assignment << ": " << result.err;
        EXPECT_EQ(result.out, expected) << assignment;
    }
}

TEST_F(CatalogueProgramTest, WithoutLangTheUserLocaleDecides) {
    Install("de_DE", {{"OK", "OK de_DE"}});
    Install("xx", {{"OK", "OK xx"}});
    Install("en_US", {{"OK", "OK en_US"}});
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
        {{"LC_ALL=de_DE.UTF-8"}, "de_DE\nOK de_DE\n"},
        {{"LANG=", "LC_ALL=de_DE.UTF-8"}, "de_DE\nOK de_DE\n"},
        {{"LC_MESSAGES=xx_YY.UTF-8"}, "xx_YY\nOK xx\n"},
        {{"LC_ALL=C", "LC_MESSAGES=de_DE"}, "en_US\nOK en_US\n"},
        {{}, "en_US\nOK en_US\n"},
    };
    for (const auto& [environment, expected] : cases) {
        EXPECT_EQ(Probe(environment, {"--language", "OK"}).out, expected)
            << ::testing::PrintToString(environment);
    }
}

TEST_F(CatalogueProgramTest, TheCatalogueIsOpenedAtTheFirstLookup) {
    const auto staged = root.Path() / "staged.mo";
    CompileCatalogue(staged, {{"OK", "Gut"}});
    const auto target = CatalogueFile(locale, "de_DE").string();
    // Installed after start-up, removed after the first lookup: used, and kept.
    const auto late =
        Probe({"LANG=de_DE"}, {"--init", "--copy", staged.string(), target, "OK", "--remove", target, "OK"});
    EXPECT_EQ(late.out, "Gut\nGut\n");
}

TEST_F(CatalogueProgramTest, TheCportDomainHasItsOwnFileBesideTheDefault) {
    Install("de_DE", {{"OK", "Gut"}});
    Install("de_DE", {{"OK", "Jawohl"}}, ByteOrder::Little, "cport");
    EXPECT_EQ(Probe({"LANG=de_DE"}, {"OK", "--domain", "cport", "OK", "--domain", "unknown", "OK"}).out,
              "Gut\nJawohl\nOK\n");
}

TEST_F(CatalogueProgramTest, AFileWithoutTheMagicNumberFailsTheLookup) {
    const auto path = CatalogueFile(locale, "de_DE");
    WriteFile(path, "msgid \"OK\"\nmsgstr \"Gut\"\n");  // a .po left where the .mo belongs
    const auto nkq = Run("nkq", {"LANG=de_DE.UTF-8"}, {"read", "--port", "/dev/nkq-missing"});
    EXPECT_EQ(nkq.exit_status, 1);
    EXPECT_EQ(nkq.err, "This file is not a valid GNU gettext mo file: " + path.string() + ".\n");

    const auto probe = Probe({"LANG=de_DE.UTF-8"}, {"--integer", "abc"});
    EXPECT_EQ(probe.exit_status, 3);
    EXPECT_EQ(probe.err,
              "EInvalidCatalogue: This file is not a valid GNU gettext mo file: " + path.string() + "\n");
}

TEST_F(CatalogueProgramTest, PlaceholderPatternsAreTranslatedThenFilled) {
    Install("de_DE");
    EXPECT_EQ(Probe({"LANG=de_DE.UTF-8"}, {"--integer", "%s12"}).out, "»%s12« ist keine gültige Ganzzahl\n");
}

}  // namespace
}  // namespace nkq::testing
