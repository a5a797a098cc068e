// The journal's record of an operation, into a real journal file.
#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>

#include "JournalFixture.h"
#include "app/Sha256.h"
#include "journal/JournalFile.h"
#include "journal/JournalRecorder.h"
#include "journal/WorkJournal.h"

namespace nkq::journal::testing {
namespace {

class RecorderFixture : public JournalFixture {
protected:
    void SetUp() override {
        JournalFixture::SetUp();
        journal_.emplace(ProgramKind::Window, path_);
    }

    // A successful read on the port, which makes the modem known there.
    void Read(const std::string& port, const std::string& password) {
        JournalRecorder read(*journal_, port, OperationKind::Read);
        read.ModemRead("NKQ-GPRS ", "\xcc\xee\xe4\xe5\xec", "1.0", password);  // "Модем"
        read.End(Outcome::Succeeded);
    }

    OperationRecord Latest() { return ReadJournal(path_).front(); }

    std::optional<WorkJournal> journal_;
};

TEST_F(RecorderFixture, WhatTheOperatorSawIsKeptInOrder) {
    {
        const auto recorder = journal_->StartRecord("/dev/ttyS0", OperationKind::Flash);
        recorder->AddMessage("Первое");
        recorder->AddQuestion("Обновить ПО?", true);
        recorder->AddMessage("Второе");
        recorder->End(Outcome::Stopped);
        recorder->AddMessage("after the end");
        recorder->End(Outcome::Succeeded);
    }
    const OperationRecord record = Latest();
    EXPECT_EQ(record.Messages,
              (std::vector<OperatorMessage>{
                  {"Первое", std::nullopt}, {"Обновить ПО?", true}, {"Второе", std::nullopt}}));
    EXPECT_EQ(record.Result, Outcome::Stopped);
    EXPECT_EQ(record.Program, ProgramKind::Window);
    EXPECT_EQ(record.User, journal_->User());
    EXPECT_FALSE(record.User.empty());
    EXPECT_EQ(ReadJournal(path_).size(), 1u) << "one row, however often it is ended";
}

TEST_F(RecorderFixture, AnOperationLeftByAnExceptionIsRecordedAsFailed) {
    try {
        JournalRecorder recorder(*journal_, "/dev/ttyS0", OperationKind::Write);
        recorder.AddMessage("Ошибка записи");
        throw std::runtime_error("port lost");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(Latest().Result, Outcome::Failed);
    EXPECT_EQ(Latest().Messages.size(), 1u);
}

TEST_F(RecorderFixture, TheModemLastReadOnAPortNamesLaterOperationsThere) {
    Read("/dev/ttyS0", "");
    JournalRecorder(*journal_, "/dev/ttyS0", OperationKind::Status).End(Outcome::Succeeded);
    JournalRecorder(*journal_, "/dev/ttyS1", OperationKind::Status).End(Outcome::Succeeded);
    const auto records = ReadJournal(path_);
    ASSERT_EQ(records.size(), 3u);
    const ModemIdentity read{"NKQ-GPRS ", "Модем", "1.0"};
    EXPECT_EQ(records[2].Modem, read);  // the read itself
    EXPECT_EQ(records[1].Modem, read);
    EXPECT_FALSE(records[0].Modem.Known());
}

TEST_F(RecorderFixture, DetailsAreStoredAsUtf8) {
    const std::string image(512 * 3 + 100, '\x5a');
    {
        JournalRecorder flash(*journal_, "ttyS0", OperationKind::Flash);
        flash.SetFirmwareImage("/srv/fw.bin", image.size(), 3, Sha256Hex(image));
        flash.SetBlocksAcknowledged(2);
        flash.End(Outcome::Failed);
    }
    EXPECT_EQ(Latest().Firmware, (FirmwareDetails{"/srv/fw.bin", image.size(), 3, Sha256Hex(image), 2}));
    {
        JournalRecorder verify(*journal_, "ttyS0", OperationKind::Verify);
        verify.AddDifferingKey("APN");
        verify.AddExchange("APN \xe8\xed\xf2\xe5\xf0\xed\xe5\xf2", "OK");  // "интернет"
        verify.SetSettingsFile("/home/anna/set.txt");
        verify.End(Outcome::Succeeded);
    }
    EXPECT_EQ(Latest().DifferingKeys, std::vector<std::string>{"APN"});
    EXPECT_EQ(Latest().Exchanges, (std::vector<WriteExchange>{{"APN интернет", "OK"}}));
    EXPECT_EQ(Latest().SettingsPath, "/home/anna/set.txt");
}

struct PasswordCase {
    const char* name;
    std::optional<std::string> read;  // the password of an earlier read on the port
    std::string sent;                 // modem bytes
    PasswordWritten stored;
};

void PrintTo(const PasswordCase& c, std::ostream* out) { *out << c.name; }

class PasswordWrites : public RecorderFixture, public ::testing::WithParamInterface<PasswordCase> {};

// Of a password sent only whether one was set and whether it differs from
// the modem's as last read are kept; after the write it is the modem's.
TEST_P(PasswordWrites, OnlyWhetherItWasSetAndChangedIsKept) {
    if (GetParam().read) Read("/dev/ttyS0", *GetParam().read);
    const std::string& secret = GetParam().sent;
    {
        JournalRecorder write(*journal_, "/dev/ttyS0", OperationKind::Write);
        write.PasswordSent(secret);
        write.AddExchange("PASSWORD ********", "OK");
        write.End(Outcome::Succeeded);
    }
    EXPECT_EQ(Latest().Password, GetParam().stored);
    if (secret.size() > 1) {
        EXPECT_EQ(FileBytes().find(secret), std::string::npos);
    }
    JournalRecorder again(*journal_, "/dev/ttyS0", OperationKind::Write);
    again.PasswordSent(secret);
    again.End(Outcome::Succeeded);
    EXPECT_EQ(Latest().Password->Change, PasswordChange::Unchanged);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PasswordWrites,
    ::testing::Values(
        PasswordCase{"NoReadBefore", std::nullopt, "s3cr3t-x", {true, PasswordChange::Unknown}},
        PasswordCase{"SameAsRead", "s3cr3t-x", "s3cr3t-x", {true, PasswordChange::Unchanged}},
        PasswordCase{"DifferentFromRead", "old-one", "s3cr3t-x", {true, PasswordChange::Changed}},
        PasswordCase{"Cyrillic", "old-one", "\xf1\xe5\xea\xf0\xe5\xf2", {true, PasswordChange::Changed}},
        PasswordCase{"Cleared", "old-one", "", {false, PasswordChange::Changed}}),
    [](const ::testing::TestParamInfo<PasswordCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace nkq::journal::testing
