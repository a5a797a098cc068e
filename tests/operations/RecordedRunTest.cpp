// The recorded run both front ends use: what the operator saw, the password
// masked before the record leaves the run, and the outcome from how the
// operation ended, into a real journal file.
#include <gtest/gtest.h>

#include <optional>

#include "RecordingOperator.h"
#include "TestFiles.h"
#include "app/Cp1251.h"
#include "app/Failure.h"
#include "journal/JournalFile.h"
#include "journal/WorkJournal.h"
#include "operations/RecordedRun.h"

namespace nkq::testing {
namespace {

using journal::OperationRecord;
using journal::OperatorMessage;
using journal::WriteExchange;

class RecordedRunTest : public ::testing::Test {
protected:
    template <typename Body>
    Outcome Run(OperationKind kind, Body&& body) {
        return RunRecorded(journal_, "/dev/ttyS0", kind, shown_, std::forward<Body>(body));
    }
    OperationRecord Latest() { return journal::ReadJournal(path_).front(); }

    TempFolder folder_{"recorded-run"};
    std::filesystem::path path_ = folder_ / "journal.sqlite3";
    journal::WorkJournal journal_{journal::ProgramKind::Nkq, path_};
    RecordingOperator shown_;
};

TEST_F(RecordedRunTest, EveryCallReachesTheOperatorAndTheRecordKeepsWhatItSaw) {
    shown_.QueueAnswer(true);
    Run(OperationKind::Flash, [](Operator& op, RunRecord&) {
        op.SetCursorOverride(CursorOverride::Hourglass);
        op.InformOperator("Первое");
        EXPECT_TRUE(op.AskYesNo("Обновить ПО?", "Внимание"));
        op.ShowProgress(true);
        op.SetProgressTotal(3);
        op.SetProgressCompleted(1);
        op.AdvanceProgress();
        op.ProcessPendingEvents();
        op.InformOperator("Второе");
        return Outcome::Succeeded;
    });
    EXPECT_EQ(shown_.Calls(),
              (std::vector<std::string>{"cursor: hourglass", "inform: Первое",
                                        "ask: Внимание: Обновить ПО? -> yes", "progress: show",
                                        "progress: total 3", "progress: completed 1", "inform: Второе"}));
    EXPECT_EQ(shown_.progress_completed, 2);
    EXPECT_EQ(shown_.pending_event_passes, 1);
    EXPECT_EQ(Latest().Messages,
              (std::vector<OperatorMessage>{
                  {"Первое", std::nullopt}, {"Обновить ПО?", true}, {"Второе", std::nullopt}}));
    EXPECT_EQ(Latest().Result, Outcome::Succeeded);
}

struct Ending {
    const char* name;
    std::function<Outcome()> body;
    bool raises;
    Outcome outcome;
    std::vector<std::string> messages;  // the operator's message, then what the run adds
};

void PrintTo(const Ending& c, std::ostream* out) { *out << c.name; }

class OutcomeTest : public RecordedRunTest, public ::testing::WithParamInterface<Ending> {};

// The outcome comes from how the operation ended: what it returned, or the
// kind of failure that left it, which is raised on unchanged.
TEST_P(OutcomeTest, ComesFromHowTheOperationEnded) {
    bool raised = false;
    Outcome returned = Outcome::Failed;
    try {
        returned = Run(OperationKind::Write, [](Operator& op, RunRecord&) {
            op.InformOperator("told");
            return GetParam().body();
        });
    } catch (...) {
        raised = true;
    }
    EXPECT_EQ(raised, GetParam().raises);
    if (!raised) {
        EXPECT_EQ(returned, GetParam().outcome);
    }
    EXPECT_EQ(Latest().Result, GetParam().outcome);
    std::vector<std::string> kept;
    for (const auto& message : Latest().Messages) kept.push_back(message.Text);
    EXPECT_EQ(kept, GetParam().messages);
}

INSTANTIATE_TEST_SUITE_P(
    Endings, OutcomeTest,
    ::testing::Values(
        Ending{"Returned", [] { return Outcome::Succeeded; }, false, Outcome::Succeeded, {"told"}},
        Ending{"ReturnedStopped", [] { return Outcome::Stopped; }, false, Outcome::Stopped, {"told"}},
        Ending{"SilentAbort", []() -> Outcome { AbortOperation(); }, true, Outcome::Failed, {"told"}},
        Ending{"Stop",
               []() -> Outcome {
                   throw EOperationStopped("Write stopped after 3 of 13 lines, before \"SAVE\"");
               },
               true,
               Outcome::Stopped,
               {"told", "Write stopped after 3 of 13 lines, before \"SAVE\""}},
        Ending{"ReadStop",
               []() -> Outcome { throw EOperationStopped("Read stopped before \"GET\" was sent"); },
               true,
               Outcome::Stopped,
               {"told", "Read stopped before \"GET\" was sent."}},
        Ending{"Failure",
               []() -> Outcome { throw EConvertError("'x' is not a valid integer value"); },
               true,
               Outcome::Failed,
               {"told", "'x' is not a valid integer value."}},
        Ending{"OtherFailure",
               []() -> Outcome { throw std::runtime_error("port lost"); },
               true,
               Outcome::Failed,
               {"told", "port lost."}}),
    [](const ::testing::TestParamInfo<Ending>& info) { return std::string(info.param.name); });

struct PasswordCase {
    const char* name;
    std::string sent;  // modem bytes
};

void PrintTo(const PasswordCase& c, std::ostream* out) { *out << c.name; }

class PasswordMaskTest : public RecordedRunTest, public ::testing::WithParamInterface<PasswordCase> {};

// Only a PASSWORD line's value is masked, wherever that line turns up (sent,
// echoed, quoted in a message); the same characters in any other line or
// message are other data and stay.
TEST_P(PasswordMaskTest, OnlyThePasswordLinesValueIsMasked) {
    const std::string& secret = GetParam().sent;
    const std::string shown_secret = Cp1251ToUtf8(secret);
    const std::vector<WriteExchange> others{
        {"APN internet.mts.ru", "OK"}, {"LOGIN mts", "OK"}, {"COMRATE 9600", "OK"}, {"IDLETIME 10", "OK"}};
    Run(OperationKind::Write, [&](Operator& op, RunRecord& record) {
        for (const auto& exchange : others) record.AddExchange(exchange.Sent, exchange.Answer);
        record.PasswordSent(secret);
        record.AddExchange("PASSWORD " + secret, "PASSWORD " + secret + "\r");  // a modem that echoes
        op.InformOperator("fleet.txt:7: \"PASSWORD " + shown_secret +
                          "\": PASSWORD is set on line 6 already");
        op.InformOperator("10 lines, 1 of them " + shown_secret);
        return Outcome::Succeeded;
    });
    const OperationRecord record = Latest();
    ASSERT_EQ(record.Exchanges.size(), others.size() + 1);
    for (std::size_t i = 0; i < others.size(); ++i) EXPECT_EQ(record.Exchanges[i], others[i]);
    const std::string masked = "PASSWORD ********";
    EXPECT_EQ(record.Exchanges.back(), (WriteExchange{masked, masked + "\r"}));
    ASSERT_EQ(record.Messages.size(), 2u);
    EXPECT_EQ(record.Messages[0].Text, "fleet.txt:7: \"" + masked + "\": PASSWORD is set on line 6 already");
    EXPECT_EQ(record.Messages[1].Text, "10 lines, 1 of them " + shown_secret);
    const std::string bytes = ReadFile(path_) + ReadFile(path_.string() + "-wal");
    EXPECT_EQ(bytes.find("PASSWORD " + secret), std::string::npos);
    EXPECT_EQ(bytes.find("PASSWORD " + shown_secret), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Cases, PasswordMaskTest,
                         ::testing::Values(PasswordCase{"Word", "s3cr3t-x"}, PasswordCase{"Zero", "0"},
                                           PasswordCase{"One", "1"}, PasswordCase{"SameAsTheLogin", "mts"},
                                           PasswordCase{"Cyrillic", "\xf1\xe5\xea\xf0\xe5\xf2"}),
                         [](const ::testing::TestParamInfo<PasswordCase>& info) {
                             return std::string(info.param.name);
                         });

// A password learnt from the modem, or named as a secret (a settings file's),
// is masked in every later text of the run.
TEST_F(RecordedRunTest, PasswordsReadOrKeptSecretAreMaskedToo) {
    Run(OperationKind::Verify, [](Operator& op, RunRecord& record) {
        record.ModemRead("NKQ-GPRS ", "virtual", "1.0", "from-modem");
        record.KeepSecret("from-file");
        op.InformOperator("\"PASSWORD from-modem\" and \"PASSWORD from-file\", from-modem");
        return Outcome::Failed;
    });
    EXPECT_EQ(Latest().Messages.front().Text, "\"PASSWORD ********\" and \"PASSWORD ********\", from-modem");
}

}  // namespace
}  // namespace nkq::testing
