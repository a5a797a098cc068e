#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "JournalFixture.h"
#include "SqliteConnection.h"
#include "journal/JournalFile.h"
#include "journal/JournalFormats.h"

namespace nkq::journal::testing {
namespace {

using Writer = void (*)(std::ostream&, const std::vector<OperationRecord>&);

std::string Written(Writer write, const std::vector<OperationRecord>& records) {
    std::ostringstream out;
    write(out, records);
    return out.str();
}

OperationRecord Stored(OperationRecord record, std::int64_t id) {
    record.Id = id;
    record.Modem.Device = "Модем";
    return record;
}

TEST(JournalFormats, TableAlignsColumnsByCharacter) {
    EXPECT_EQ(
        Written(WriteJournalTable, {Stored(SampleWrite(), 2), Stored(SampleFlash(), 1)}),
        "TIME (UTC)           PORT          OPERATION  MODEM               RESULT     MESSAGE\n"
        "2026-12-08 10:15:02  /dev/ttyUSB0  write      NKQ-GPRS Модем 1.0  succeeded  Параметры записаны\n"
        "2026-12-08 10:15:02  /dev/ttyUSB0  flash      NKQ-GPRS Модем 1.0  failed     Обновить ПО? [yes]\n");
}

TEST(JournalFormats, CsvHasEveryFieldInOneRowPerOperation) {
    EXPECT_EQ(
        Written(WriteJournalCsv, {Stored(SampleWrite(), 2), Stored(SampleFlash(), 1)}),
        "\xef\xbb\xbfid,started,duration_ms,program,user,host,port,operation,result,modem_name,modem_device,"
        "modem_version,messages,exchanges,password_set,password_change,differing_keys,settings_file,"
        "firmware_path,firmware_size,firmware_blocks,firmware_sha256,firmware_blocks_acknowledged\r\n"
        "2,2026-12-08T10:15:02.123Z,4210,window,anna,bench-3,/dev/ttyUSB0,write,succeeded,NKQ-GPRS "
        ",Модем,1.0,"
        "Параметры записаны,\"APN internet → OK\nPASSWORD ******** → OK\",yes,changed,,,,,,,\r\n"
        "1,2026-12-08T10:15:02.123Z,4210,nkq,anna,bench-3,/dev/ttyUSB0,flash,failed,NKQ-GPRS ,Модем,1.0,"
        "\"Обновить ПО? [yes]\nТайм-аут\",,,,,,/srv/fw/nkq 2.1.bin,1048576,2048," +
            std::string(64, 'a') + ",1500\r\n");
}

// The JSON is SQLite's: read from a real journal, one object per line.
class JsonListing : public JournalFixture {
protected:
    std::string Listed(const std::vector<OperationRecord>& appended) {
        for (const auto& record : appended) AppendToJournal(path_, record);
        std::ostringstream out;
        JsonArrayWriter json;
        json.Begin(out);
        ForEachJsonInJournal(path_, {}, [&](const std::string& object) { json.Write(out, object); });
        json.End(out);
        return out.str();
    }
};

TEST_F(JsonListing, HasEveryFieldInOneObjectPerOperation) {
    EXPECT_EQ(Listed({}), "[]\n");
    EXPECT_EQ(Listed({Stored(SampleFlash(), 0), Stored(SampleWrite(), 0)}),
              "[\n  {\"id\":2,\"started\":\"2026-12-08T10:15:02.123Z\",\"duration_ms\":4210,\"program\":"
              "\"window\",\"user\":\"anna\",\"host\":\"bench-3\",\"port\":\"/dev/ttyUSB0\",\"operation\":"
              "\"write\",\"result\":\"succeeded\",\"modem\":{\"name\":\"NKQ-GPRS \",\"device\":\"Модем\","
              "\"version\":\"1.0\"},\"messages\":[{\"text\":\"Параметры записаны\",\"answer\":null}],"
              "\"exchanges\":[{\"sent\":\"APN internet\",\"answer\":\"OK\"},{\"sent\":\"PASSWORD ********\","
              "\"answer\":\"OK\"}],\"password\":{\"set\":true,\"change\":\"changed\"},\"differing_keys\":[],"
              "\"settings_file\":null,\"firmware\":null},\n"
              "  {\"id\":1,\"started\":\"2026-12-08T10:15:02.123Z\",\"duration_ms\":4210,\"program\":\"nkq\","
              "\"user\":\"anna\",\"host\":\"bench-3\",\"port\":\"/dev/ttyUSB0\",\"operation\":\"flash\","
              "\"result\":\"failed\",\"modem\":{\"name\":\"NKQ-GPRS \",\"device\":\"Модем\",\"version\":"
              "\"1.0\"},\"messages\":[{\"text\":\"Обновить ПО?\",\"answer\":true},{\"text\":\"Тайм-аут\","
              "\"answer\":null}],\"exchanges\":[],\"password\":null,\"differing_keys\":[],\"settings_file\":"
              "null,\"firmware\":{\"path\":\"/srv/fw/nkq 2.1.bin\",\"size\":1048576,\"blocks\":2048,"
              "\"sha256\":\"" +
                  std::string(64, 'a') + "\",\"blocks_acknowledged\":1500}}\n]\n");
}

struct JsonRule {
    const char* name;
    std::function<void(OperationRecord&)> change;
    std::string fragment;
};

void PrintTo(const JsonRule& c, std::ostream* out) { *out << c.name; }

class JsonRules : public JsonListing, public ::testing::WithParamInterface<JsonRule> {};

TEST_P(JsonRules, Hold) {
    OperationRecord record = SampleWrite();
    GetParam().change(record);
    const std::string output = Listed({record});
    EXPECT_NE(output.find(GetParam().fragment), std::string::npos) << output;
}

INSTANTIATE_TEST_SUITE_P(
    Json, JsonRules,
    ::testing::Values(
        JsonRule{"EscapesQuoteAndBackslash", [](auto& r) { r.User = "a\"b\\c"; }, "\"user\":\"a\\\"b\\\\c\""},
        JsonRule{"EscapesControlCharacters", [](auto& r) { r.Modem.Name = "x\x1b\t\n"; },
                 "\"name\":\"x\\u001b\\t\\n\""},
        JsonRule{"StoresAnAnswerNo",
                 [](auto& r) {
                     r.Messages = {{"Да?", false}};
                 },
                 "{\"text\":\"Да?\",\"answer\":false}"},
        JsonRule{
            "KeepsTheListsInOrder",
            [](auto& r) {
                r.DifferingKeys = {"MODE", "APN", "COMRATE"};
                r.SettingsPath = "/home/anna/fleet.txt";
            },
            "\"differing_keys\":[\"MODE\",\"APN\",\"COMRATE\"],\"settings_file\":\"/home/anna/fleet.txt\""},
        JsonRule{"StoresAPasswordNotSet",
                 [](auto& r) {
                     r.Password = PasswordWritten{false, PasswordChange::Unknown};
                 },
                 "\"password\":{\"set\":false,\"change\":\"unknown\"}"}),
    [](const ::testing::TestParamInfo<JsonRule>& info) { return std::string(info.param.name); });

// A name this program does not know is shown as stored.
TEST_F(JsonListing, ShowsAnUnknownOperationAsStored) {
    const std::int64_t id = AppendToJournal(path_, SampleWrite());
    SqliteConnection(path_, SqliteConnection::Opening::Existing)
        .Execute(("UPDATE operation SET operation = 'calibrate' WHERE id = " + std::to_string(id)).c_str());
    EXPECT_NE(Listed({}).find("\"operation\":\"calibrate\""), std::string::npos);
}

struct FormatRule {
    const char* name;
    Writer write;
    std::function<void(OperationRecord&)> change;
    std::string fragment;
    bool present;  // whether the output holds the fragment
};

void PrintTo(const FormatRule& c, std::ostream* out) { *out << c.name; }

class FormatRules : public ::testing::TestWithParam<FormatRule> {};

TEST_P(FormatRules, Hold) {
    OperationRecord record = SampleWrite();
    GetParam().change(record);
    const std::string output = Written(GetParam().write, {record});
    EXPECT_EQ(output.find(GetParam().fragment) != std::string::npos, GetParam().present) << output;
}

INSTANTIATE_TEST_SUITE_P(
    Formats, FormatRules,
    ::testing::Values(
        FormatRule{"CsvQuotesAComma", WriteJournalCsv, [](auto& r) { r.Port = "a,b"; }, ",\"a,b\",", true},
        FormatRule{"CsvDoublesAQuote", WriteJournalCsv, [](auto& r) { r.User = "say \"hi\""; },
                   ",\"say \"\"hi\"\"\",", true},
        FormatRule{"CsvQuotesACarriageReturn", WriteJournalCsv, [](auto& r) { r.Host = "a\rb"; },
                   ",\"a\rb\",", true},
        // A spreadsheet would run these as formulas; the "'" makes them text.
        FormatRule{"CsvMakesAFormulaText", WriteJournalCsv, [](auto& r) { r.User = "=HYPERLINK(\"x\")"; },
                   ",\"'=HYPERLINK(\"\"x\"\")\",", true},
        FormatRule{"CsvMakesAPlusText", WriteJournalCsv, [](auto& r) { r.Host = "+7 495"; }, ",'+7 495,",
                   true},
        FormatRule{"CsvMakesAMinusText", WriteJournalCsv,
                   [](auto& r) {
                       r.Messages = {{"-1+1", std::nullopt}};
                   },
                   ",'-1+1,", true},
        FormatRule{"CsvMakesAnAtText", WriteJournalCsv, [](auto& r) { r.Port = "@SUM(A1)"; }, ",'@SUM(A1),",
                   true},
        FormatRule{"CsvLeavesOtherCellsAlone", WriteJournalCsv, [](auto& r) { r.User = "a=b"; }, ",a=b,",
                   true},
        FormatRule{"TableShowsAnUnknownOperationAsStored", WriteJournalTable,
                   [](auto& r) {
                       r.Unread.Operation = "calibrate";
                       r.Unread.Result = "partly";
                   },
                   "  calibrate  NKQ-GPRS virtual 1.0  partly", true},
        FormatRule{"CsvShowsAnUnknownResultAsStored", WriteJournalCsv,
                   [](auto& r) { r.Unread.Result = "partly"; }, ",write,partly,", true},
        FormatRule{"TableBlanksControlCharacters", WriteJournalTable,
                   [](auto& r) { r.Modem.Name = "x\x1b[2J"; }, "\x1b", false},
        FormatRule{"TableShowsAnUnknownModemAsADash", WriteJournalTable, [](auto& r) { r.Modem = {}; },
                   "  write      -  ", true},
        FormatRule{"TableShowsOnlyTheFirstMessage", WriteJournalTable,
                   [](auto& r) {
                       r.Messages.push_back({"Второе", std::nullopt});
                   },
                   "Второе", false},
        FormatRule{"TableKeepsAMessageOnOneLine", WriteJournalTable,
                   [](auto& r) {
                       r.Messages = {{"a\nb", std::nullopt}};
                   },
                   "a b\n", true}),
    [](const ::testing::TestParamInfo<FormatRule>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace nkq::journal::testing
