#include "ModemParameters.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "app/Failure.h"
#include "params/ParameterKeyTable.h"
#include "params/ParameterValues.h"
#include "protocol/TextLines.h"

namespace nkq {
namespace {

struct SplitCase {
    std::string line;
    std::string key;
    std::string value;
};

void PrintTo(const SplitCase& item, std::ostream* out) { *out << '"' << item.line << '"'; }

class SplitLineTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitLineTest, SplitsAtTheFirstBlankOnly) {
    const auto [key, value] = ModemParameters::SplitLine(GetParam().line);
    EXPECT_EQ(key, GetParam().key);
    EXPECT_EQ(value, GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Lines, SplitLineTest,
                         ::testing::Values(SplitCase{"APN internet", "APN", "internet"},
                                           SplitCase{"IPPING1 10.0.0.1 5000", "IPPING1", "10.0.0.1 5000"},
                                           SplitCase{"LOGIN ", "LOGIN", ""}, SplitCase{"LOGIN", "LOGIN", ""},
                                           SplitCase{"VERSION 1.2 beta", "VERSION", "1.2 beta"}),
                         [](const auto& info) { return "Line" + std::to_string(info.index); });

TEST(ModemParametersTest, TextWithAnyLineEndsGivesTheSameSet) {
    const auto crlf = ModemParameters::FromText("MODE 0\r\nAPN a b\r\nLOGIN \r\n");
    EXPECT_EQ(ModemParameters::FromText("MODE 0\nAPN a b\nLOGIN \n"), crlf);
    EXPECT_EQ(ModemParameters::FromText("MODE 0\rAPN a b\r\rLOGIN "), crlf);
    EXPECT_EQ(crlf.Lines(), (std::vector<std::string>{"MODE 0", "APN a b", "LOGIN "}));
}

TEST(ModemParametersTest, SetKeepsTheOrderAndAppendsNewKeys) {
    auto parameters = ModemParameters::FromText("MODE 1\nAPN x\n");
    parameters.Set("MODE", "2");
    parameters.Set("COMRATE", "9600");
    EXPECT_EQ(parameters.Lines(), (std::vector<std::string>{"MODE 2", "APN x", "COMRATE 9600"}));
    EXPECT_EQ(parameters.Get("APN"), "x");
    EXPECT_FALSE(parameters.Get("LOGIN").has_value());
}

// The stand-in's factory set is the workstation's key table: every key once,
// no other, and every value one its field holds as given.
TEST(ModemParametersTest, DefaultsAreTheKeyTable) {
    const auto defaults = ModemParameters::Defaults();
    std::set<std::string> listed;
    for (const auto& line : defaults.Lines()) listed.insert(LineKey(line));
    std::set<std::string> table;
    for (const auto& row : ParameterKeyTable()) {
        table.insert(std::string(row.key));
        const auto value = defaults.Get(std::string(row.key));
        ASSERT_TRUE(value.has_value()) << row.key;
        EXPECT_EQ(FieldValue(row.key, *value), *value) << row.key;
    }
    EXPECT_EQ(listed, table);
}

TEST(ModemParametersTest, FileIsReadAsParameterLines) {
    const auto path =
        std::filesystem::temp_directory_path() / ("vmodem-params-" + std::to_string(::getpid()));
    std::ofstream(path, std::ios::binary) << "MODE 0\r\nSERVERPORT 4500\r\n";
    EXPECT_EQ(ModemParameters::FromFile(path.string()).Lines(),
              (std::vector<std::string>{"MODE 0", "SERVERPORT 4500"}));
    std::filesystem::remove(path);
    EXPECT_THROW(ModemParameters::FromFile(path.string()), EFOpenError);
}

}  // namespace
}  // namespace nkq
