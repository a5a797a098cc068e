// The recorder as an operation uses it, through the operator decorator, into
// a real journal file.
#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>

#include "JournalFixture.h"
#include "RecordingOperator.h"
#include "app/Cp1251.h"
#include "app/Sha256.h"
#include "journal/JournalFile.h"
#include "journal/JournalOperator.h"
#include "journal/OperationRecorder.h"
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
        OperationRecorder read(*journal_, port, OperationKind::Read);
        read.ModemRead("NKQ-GPRS ", "\xcc\xee\xe4\xe5\xec", "1.0", password);  // "Модем"
        read.End(Outcome::Succeeded);
    }

    OperationRecord Latest() { return ReadJournal(path_).front(); }

    std::optional<WorkJournal> journal_;
};

TEST_F(RecorderFixture, DecoratorPassesEveryCallOnAndRecordsWhatTheOperatorSaw) {
    nkq::testing::RecordingOperator shown;
    shown.QueueAnswer(true);
    {
        OperationRecorder recorder(*journal_, "/dev/ttyS0", OperationKind::Flash);
        JournalOperator op(shown, recorder);
        op.SetCursorOverride(CursorOverride::Hourglass);
        op.InformOperator("Первое");
        EXPECT_TRUE(op.AskYesNo("Обновить ПО?", "Внимание"));
        op.ShowProgress(true);
        op.SetProgressTotal(3);
        op.SetProgressCompleted(1);
        op.AdvanceProgress();
        op.ProcessPendingEvents();
        op.InformOperator("Второе");
        recorder.End(Outcome::Stopped);
    }
    EXPECT_EQ(shown.Calls(),
              (std::vector<std::string>{"cursor: hourglass", "inform: Первое",
                                        "ask: Внимание: Обновить ПО? -> yes", "progress: show",
                                        "progress: total 3", "progress: completed 1", "inform: Второе"}));
    EXPECT_EQ(shown.progress_completed, 2);
    EXPECT_EQ(shown.pending_event_passes, 1);
    const OperationRecord record = Latest();
    EXPECT_EQ(record.Messages,
              (std::vector<OperatorMessage>{
                  {"Первое", std::nullopt}, {"Обновить ПО?", true}, {"Второе", std::nullopt}}));
    EXPECT_EQ(record.Result, Outcome::Stopped);
    EXPECT_EQ(record.Program, ProgramKind::Window);
    EXPECT_EQ(record.User, journal_->User());
    EXPECT_FALSE(record.User.empty());
}

TEST_F(RecorderFixture, AnOperationLeftByAnExceptionIsRecordedAsFailed) {
    try {
        OperationRecorder recorder(*journal_, "/dev/ttyS0", OperationKind::Write);
        recorder.AddMessage("Ошибка записи");
        throw std::runtime_error("port lost");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(Latest().Result, Outcome::Failed);
    EXPECT_EQ(Latest().Messages.size(), 1u);
}

TEST_F(RecorderFixture, TheModemLastReadOnAPortNamesLaterOperationsThere) {
    Read("/dev/ttyS0", "");
    OperationRecorder(*journal_, "/dev/ttyS0", OperationKind::Status).End(Outcome::Succeeded);
    OperationRecorder(*journal_, "/dev/ttyS1", OperationKind::Status).End(Outcome::Succeeded);
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
        OperationRecorder flash(*journal_, "ttyS0", OperationKind::Flash);
        flash.SetFirmwareImage("/srv/fw.bin", image, 3);
        flash.SetBlocksAcknowledged(2);
        flash.End(Outcome::Failed);
    }
    EXPECT_EQ(Latest().Firmware, (FirmwareDetails{"/srv/fw.bin", image.size(), 3, Sha256Hex(image), 2}));
    {
        OperationRecorder verify(*journal_, "ttyS0", OperationKind::Verify);
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

// Only a PASSWORD line's value is masked, wherever that line turns up (sent,
// echoed, quoted in a message); the same characters in any other line or
// message are other data and stay. Of the password itself only whether one
// was set and whether it changed are kept.
TEST_P(PasswordWrites, MaskOnlyThePasswordLinesValue) {
    if (GetParam().read) Read("/dev/ttyS0", *GetParam().read);
    const std::string& secret = GetParam().sent;
    const std::string shown_secret = Cp1251ToUtf8(secret);
    const std::vector<WriteExchange> others{
        {"APN internet.mts.ru", "OK"}, {"LOGIN mts", "OK"}, {"COMRATE 9600", "OK"}, {"IDLETIME 10", "OK"}};
    {
        OperationRecorder write(*journal_, "/dev/ttyS0", OperationKind::Write);
        for (const auto& exchange : others) write.AddExchange(exchange.Sent, exchange.Answer);
        write.AddExchange("PASSWORD " + secret, "PASSWORD " + secret + "\r");  // a modem that echoes
        write.AddMessage("fleet.txt:7: \"PASSWORD " + shown_secret + "\": PASSWORD is set on line 6 already");
        write.AddMessage("10 lines, 1 of them " + shown_secret);
        write.End(Outcome::Succeeded);
    }
    const OperationRecord record = Latest();
    EXPECT_EQ(record.Password, GetParam().stored);
    ASSERT_EQ(record.Exchanges.size(), others.size() + 1);
    for (std::size_t i = 0; i < others.size(); ++i) EXPECT_EQ(record.Exchanges[i], others[i]);
    const std::string masked = secret.empty() ? "PASSWORD " : "PASSWORD ********";
    EXPECT_EQ(record.Exchanges.back(), (WriteExchange{masked, masked + "\r"}));
    ASSERT_EQ(record.Messages.size(), 2u);
    EXPECT_EQ(record.Messages[0].Text, "fleet.txt:7: \"" + masked + "\": PASSWORD is set on line 6 already");
    EXPECT_EQ(record.Messages[1].Text, "10 lines, 1 of them " + shown_secret);
    if (!secret.empty()) {
        const std::string bytes = FileBytes();
        EXPECT_EQ(bytes.find("PASSWORD " + secret), std::string::npos);
        EXPECT_EQ(bytes.find("PASSWORD " + shown_secret), std::string::npos);
    }
    // After the write the modem's password is the one written.
    OperationRecorder again(*journal_, "/dev/ttyS0", OperationKind::Write);
    again.AddExchange("PASSWORD " + secret, "OK");
    again.End(Outcome::Succeeded);
    EXPECT_EQ(Latest().Password->Change, PasswordChange::Unchanged);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PasswordWrites,
    ::testing::Values(
        PasswordCase{"NoReadBefore", std::nullopt, "s3cr3t-x", {true, PasswordChange::Unknown}},
        PasswordCase{"SameAsRead", "s3cr3t-x", "s3cr3t-x", {true, PasswordChange::Unchanged}},
        PasswordCase{"DifferentFromRead", "old-one", "s3cr3t-x", {true, PasswordChange::Changed}},
        PasswordCase{"Zero", "old-one", "0", {true, PasswordChange::Changed}},
        PasswordCase{"One", "1", "1", {true, PasswordChange::Unchanged}},
        PasswordCase{"SameAsTheLogin", "mts", "mts", {true, PasswordChange::Unchanged}},
        PasswordCase{"Cyrillic", "old-one", "\xf1\xe5\xea\xf0\xe5\xf2", {true, PasswordChange::Changed}},
        PasswordCase{"Cleared", "old-one", "", {false, PasswordChange::Changed}}),
    [](const ::testing::TestParamInfo<PasswordCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace nkq::journal::testing
