// Records stored in and read back from a real SQLite file.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>

#include "JournalFixture.h"
#include "JournalSchema.h"
#include "SqliteConnection.h"
#include "journal/EJournal.h"
#include "journal/JournalFile.h"

namespace nkq::journal::testing {
namespace {

struct RecordCase {
    const char* name;
    std::function<OperationRecord()> make;
};

void PrintTo(const RecordCase& c, std::ostream* out) { *out << c.name; }

class JournalRoundTrip : public JournalFixture, public ::testing::WithParamInterface<RecordCase> {};

// Every field comes back as stored, whatever the operation's details.
TEST_P(JournalRoundTrip, KeepsEveryField) {
    OperationRecord record = GetParam().make();
    record.Id = AppendToJournal(path_, record);
    const auto read = ReadJournal(path_);
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0], record);
}

INSTANTIATE_TEST_SUITE_P(Operations, JournalRoundTrip,
                         ::testing::Values(RecordCase{"Write", SampleWrite}, RecordCase{"Flash", SampleFlash},
                                           RecordCase{"Verify",
                                                      [] {
                                                          OperationRecord r = SampleWrite();
                                                          r.Operation = OperationKind::Verify;
                                                          r.Exchanges.clear();
                                                          r.Password.reset();
                                                          r.DifferingKeys = {"APN", "COMRATE"};
                                                          return r;
                                                      }},
                                           RecordCase{"SaveWithoutModem",
                                                      [] {
                                                          OperationRecord r;
                                                          r.Started = At("2026-12-09T08:00:00Z");
                                                          r.Operation = OperationKind::Save;
                                                          r.Result = Outcome::Stopped;
                                                          r.SettingsPath = "/home/anna/настройки.ini";
                                                          return r;
                                                      }}),
                         [](const ::testing::TestParamInfo<RecordCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(JournalFixture, ReadingAMissingJournalFindsNothingAndCreatesNothing) {
    EXPECT_TRUE(ReadJournal(path_).empty());
    EXPECT_FALSE(std::filesystem::exists(path_));
}

TEST_F(JournalFixture, AppendCreatesTheFoldersItNeeds) {
    path_ = folder_ / "a" / "b" / "journal.sqlite3";
    AppendToJournal(path_, SampleWrite());
    EXPECT_EQ(ReadJournal(path_).size(), 1u);
}

struct FilterCase {
    const char* name;
    JournalFilter filter;
    std::vector<std::int64_t> ids;  // newest first
};

void PrintTo(const FilterCase& c, std::ostream* out) { *out << c.name; }

class JournalFilters : public JournalFixture, public ::testing::WithParamInterface<FilterCase> {
protected:
    // Ids 1..4, stored out of time order.
    void SetUp() override {
        JournalFixture::SetUp();
        const auto add = [&](const char* time, const char* port, OperationKind operation, Outcome result) {
            OperationRecord r = SampleWrite();
            r.Started = At(time);
            r.Port = port;
            r.Operation = operation;
            r.Result = result;
            AppendToJournal(path_, r);
        };
        add("2026-12-02T09:00:00Z", "/dev/ttyS0", OperationKind::Read, Outcome::Succeeded);
        add("2026-12-01T09:00:00Z", "/dev/ttyS1", OperationKind::Write, Outcome::Failed);
        add("2026-12-03T09:00:00Z", "/dev/ttyS0", OperationKind::Write, Outcome::Stopped);
        add("2026-12-03T10:00:00Z", "/tmp/modem", OperationKind::Flash, Outcome::Failed);
    }
};

TEST_P(JournalFilters, TakeTheMatchingOperationsNewestFirst) {
    std::vector<std::int64_t> ids;
    for (const auto& record : ReadJournal(path_, GetParam().filter)) ids.push_back(record.Id);
    EXPECT_EQ(ids, GetParam().ids);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, JournalFilters,
    ::testing::Values(FilterCase{"None", {}, {4, 3, 1, 2}},
                      FilterCase{"SinceDate", {At("2026-12-02"), "", {}, false}, {4, 3, 1}},
                      FilterCase{"SinceTime", {At("2026-12-03T09:30Z"), "", {}, false}, {4}},
                      FilterCase{"PortByDevicePath", {{}, "/dev/ttyS0", {}, false}, {3, 1}},
                      FilterCase{"PortByName", {{}, "ttyS0", {}, false}, {3, 1}},
                      FilterCase{"PortOutsideDev", {{}, "/tmp/modem", {}, false}, {4}},
                      FilterCase{"Operation", {{}, "", OperationKind::Write, false}, {3, 2}},
                      FilterCase{"FailedOnly", {{}, "", {}, true}, {4, 2}},
                      FilterCase{"Combined", {At("2026-12-02"), "ttyS0", OperationKind::Write, false}, {3}}),
    [](const ::testing::TestParamInfo<FilterCase>& info) { return std::string(info.param.name); });

// A later version adds its step; the one-transaction upgrade keeps every row
// or, when a step fails, leaves the journal as it was.
TEST_F(JournalFixture, SchemaUpgradesAnOlderJournalInOneStep) {
    AppendToJournal(path_, SampleWrite());
    const auto steps = JournalSchemaSteps();
    ASSERT_EQ(steps.back().Version, 1);
    const SchemaStep broken[] = {steps[0],
                                 {2, "ALTER TABLE operation ADD COLUMN bench TEXT; ALTER TABLE gone x"}};
    const SchemaStep good[] = {steps[0], {2, "ALTER TABLE operation ADD COLUMN bench TEXT DEFAULT 'B3'"}};
    {
        SqliteConnection connection(path_, SqliteConnection::Opening::Existing);
        EXPECT_THROW(PrepareJournal(connection, broken), EJournal);
        EXPECT_EQ(connection.QueryNumber("PRAGMA user_version"), 1);
        PrepareJournal(connection, good);
        EXPECT_EQ(connection.QueryNumber("PRAGMA user_version"), 2);
        EXPECT_EQ(connection.QueryText("SELECT bench FROM operation"), "B3");
    }
    // This program's own version now refuses the newer journal.
    EXPECT_THROW(AppendToJournal(path_, SampleWrite()), EJournal);
    EXPECT_THROW(ReadJournal(path_), EJournal);
}

// A row written by a newer version, with names this one does not know, is
// read with those names as stored, and the rows around it are read as ever.
TEST_F(JournalFixture, NamesANewerVersionWroteAreKeptAsStored) {
    AppendToJournal(path_, SampleWrite());
    const std::int64_t newer = AppendToJournal(path_, SampleWrite());
    AppendToJournal(path_, SampleFlash());
    {
        SqliteConnection connection(path_, SqliteConnection::Opening::Existing);
        const std::string update =
            "UPDATE operation SET program = 'robot', operation = 'calibrate', result = 'partly', "
            "password_change = 'rotated', started = 'next tuesday' WHERE id = " +
            std::to_string(newer);
        connection.Execute(update.c_str());
    }
    const auto records = ReadJournal(path_);
    ASSERT_EQ(records.size(), 3u);
    const auto unread =
        std::find_if(records.begin(), records.end(), [&](const auto& r) { return r.Id == newer; });
    ASSERT_NE(unread, records.end());
    EXPECT_EQ(unread->Unread, (StoredTexts{"robot", "calibrate", "partly", "rotated", "next tuesday"}));
    EXPECT_EQ(ShownOperationName(*unread), "calibrate");
    EXPECT_EQ(ShownOutcomeName(*unread), "partly");
    EXPECT_EQ(ShownPasswordChangeName(*unread), "rotated");
    EXPECT_EQ(ShownProgramName(*unread), "robot");
    EXPECT_EQ(ShownTableTime(*unread), "next tuesday");
    for (const auto& record : records) {
        if (record.Id != newer) {
            EXPECT_EQ(record.Unread, StoredTexts{});
        }
    }
}

TEST_F(JournalFixture, AStopEndsTheReadingAtOnce) {
    for (int i = 0; i < 5; ++i) AppendToJournal(path_, SampleWrite());
    int taken = 0;
    EXPECT_FALSE(ForEachInJournal(
        path_, {}, [&](const OperationRecord&) { ++taken; }, [&] { return taken == 2; }));
    EXPECT_EQ(taken, 2);
    // Asked while SQLite works, too: nothing is taken.
    taken = 0;
    EXPECT_FALSE(ForEachInJournal(
        path_, {}, [&](const OperationRecord&) { ++taken; }, [] { return true; }));
    EXPECT_EQ(taken, 0);
    EXPECT_TRUE(ForEachInJournal(
        path_, {}, [&](const OperationRecord&) { ++taken; }, [] { return false; }));
    EXPECT_EQ(taken, 5);
}

TEST_F(JournalFixture, AnEmptyFileBecomesAJournal) {
    { std::ofstream touch(path_); }
    AppendToJournal(path_, SampleWrite());
    SqliteConnection connection(path_, SqliteConnection::Opening::Existing);
    EXPECT_EQ(connection.QueryNumber("PRAGMA user_version"), 1);
    EXPECT_EQ(connection.QueryNumber("PRAGMA application_id"), kJournalApplicationId);
    EXPECT_EQ(connection.QueryText("PRAGMA journal_mode"), "wal");
}

}  // namespace
}  // namespace nkq::journal::testing
