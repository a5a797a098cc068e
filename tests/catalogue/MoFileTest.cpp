// The catalogue reader against files made by the real msgfmt, and against
// damaged ones.
#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>

#include "CatalogueFiles.h"
#include "ProgramRun.h"
#include "app/EInvalidCatalogue.h"
#include "app/MoFile.h"

namespace nkq::testing {
namespace {

const Entries kGerman{
    {"Unable to open com port", "COM-Port lässt sich nicht öffnen"},
    {" (win error code: %d)", " (Windows-Fehlercode: %d)"},
    {"Cannot open file \"%s\". %s", "Datei „%s“ kann nicht geöffnet werden. %s"},
    {"'%s' is not a valid integer value", "»%s« ist kein gültiger Ganzzahlwert"},
    {"two\nlines", "zwei\nZeilen"},
    {"OK", "Gut"},
};

MoFile Compiled(const TempFolder& folder, const Entries& entries, ByteOrder order,
                const std::string& charset = "UTF-8") {
    const auto path = folder.Path() / "test.mo";
    CompileCatalogue(path, entries, order, charset);
    return MoFile::Load(path);
}

void ExpectInvalid(const std::string& bytes, const std::string& why) {
    try {
        MoFile::Parse(bytes, "/somewhere/default.mo");
        ADD_FAILURE() << why << ": accepted";
    } catch (const EInvalidCatalogue& e) {
        EXPECT_EQ(e.KindName(), "EInvalidCatalogue");
        EXPECT_EQ(e.Message(), "This file is not a valid GNU gettext mo file: /somewhere/default.mo") << why;
    }
}

std::uint32_t GetWord(const std::string& bytes, std::size_t offset) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<std::uint8_t>(bytes[offset + i]);
    return value;
}

void PutWord(std::string& bytes, std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

TEST(MoFile, BothByteOrdersGiveEveryTranslation) {
    TempFolder folder("byte-order");
    for (const auto order : {ByteOrder::Little, ByteOrder::Big}) {
        const MoFile file = Compiled(folder, kGerman, order);
        EXPECT_EQ(file.Size(), kGerman.size());
        for (const auto& [original, translation] : kGerman) {
            const std::string* found = file.Find(original);
            ASSERT_NE(found, nullptr) << original;
            EXPECT_EQ(*found, translation);
        }
    }
}

TEST(MoFile, OnlyExactTextsMatch) {
    TempFolder folder("exact");
    const MoFile file = Compiled(folder, kGerman, ByteOrder::Little);
    for (const char* other : {"Unable to open com port ", "unable to open com port", "Unable to open com",
                              "(win error code: %d)", "", "ok"}) {
        EXPECT_EQ(file.Find(other), nullptr) << '"' << other << '"';
    }
}

TEST(MoFile, ContextEntriesStayApartAndPluralEntriesAnswerTheirSingular) {
    TempFolder folder("plural");
    const auto path = folder.Path() / "forms.mo";
    const auto po = folder.Path() / "forms.po";
    WriteFile(po,
              "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n"
              "Plural-Forms: nplurals=2; plural=(n != 1);\\n\"\n\n"
              "msgctxt \"menu\"\nmsgid \"Open\"\nmsgstr \"Öffnen\"\n\n"
              "msgid \"%d file\"\nmsgid_plural \"%d files\"\n"
              "msgstr[0] \"%d Datei\"\nmsgstr[1] \"%d Dateien\"\n");
    ASSERT_EQ(RunProgram(MSGFMT_PROGRAM, {"-o", path.string(), po.string()}).exit_status, 0);
    const MoFile file = MoFile::Load(path);
    EXPECT_EQ(file.Find("Open"), nullptr);
    ASSERT_NE(file.Find("%d file"), nullptr);
    EXPECT_EQ(*file.Find("%d file"), "%d Datei");
    EXPECT_EQ(file.Find("%d files"), nullptr);
}

TEST(MoFile, TranslationsInAnotherCodeSetComeOutAsUtf8) {
    TempFolder folder("latin1");
    // "Öffnen fehlgeschlagen" in ISO-8859-1: the umlaut is the single byte 0xD6.
    const Entries latin1{{"Unable to open com port",
                          "\xD6"
                          "ffnen fehlgeschlagen"}};
    const MoFile file = Compiled(folder, latin1, ByteOrder::Big, "ISO-8859-1");
    ASSERT_NE(file.Find("Unable to open com port"), nullptr);
    EXPECT_EQ(*file.Find("Unable to open com port"), "Öffnen fehlgeschlagen");
}

TEST(MoFile, AFileWithoutTheMagicNumberIsRefusedWithItsPath) {
    TempFolder folder("magic");
    Compiled(folder, kGerman, ByteOrder::Little);
    const std::string good = ReadFile(folder.Path() / "test.mo");
    std::string off_by_one = good;
    off_by_one[0] = static_cast<char>(off_by_one[0] ^ 1);
    const std::vector<std::pair<std::string, std::string>> cases{
        {"", "empty file"},
        {good.substr(0, 3), "shorter than the magic number"},
        {"msgid \"\"\nmsgstr \"\"\n", "a .po text"},
        {off_by_one, "one bit off"},
        {std::string(64, '\0'), "zeros"},
    };
    for (const auto& [bytes, why] : cases) ExpectInvalid(bytes, why);
}

TEST(MoFile, ATruncatedFileIsRefusedOrReadWhole) {
    TempFolder folder("truncated");
    Compiled(folder, kGerman, ByteOrder::Big);
    const std::string good = ReadFile(folder.Path() / "test.mo");
    std::size_t refused = 0;
    for (std::size_t size = 0; size < good.size(); ++size) {
        try {
            const MoFile part = MoFile::Parse(std::string_view(good).substr(0, size), "part.mo");
            // Only the unused bytes after the last string may be missing.
            for (const auto& [original, translation] : kGerman) {
                ASSERT_NE(part.Find(original), nullptr) << "size " << size;
                EXPECT_EQ(*part.Find(original), translation);
            }
        } catch (const EInvalidCatalogue&) {
            ++refused;
        }
    }
    EXPECT_GT(refused, good.size() / 2);
    ExpectInvalid(good.substr(0, 27), "header cut short");
    ExpectInvalid(good.substr(0, good.size() / 2), "strings cut off");
}

TEST(MoFile, TablesAndStringsOutsideTheFileAreRefused) {
    TempFolder folder("corrupt");
    Compiled(folder, kGerman, ByteOrder::Little);
    const std::string good = ReadFile(folder.Path() / "test.mo");
    const std::size_t originals = GetWord(good, 12);
    const std::vector<std::tuple<std::size_t, std::uint32_t, std::string>> patches{
        {8, 0xFFFFFFFF, "count beyond the tables"},
        {12, 0xFFFFFFF8, "original table past the end"},
        {16, 0x7FFFFFFF, "translation table past the end"},
        {originals + 8, 0xFFFFFFFF, "string length past the end"},
        {originals + 12, 0xFFFFFFFC, "string offset that would wrap"},
    };
    for (const auto& [offset, value, why] : patches) {
        std::string bad = good;
        PutWord(bad, offset, value);
        ExpectInvalid(bad, why);
    }
}

}  // namespace
}  // namespace nkq::testing
