#pragma once
// A temporary folder for real journal files, and records that fill every field.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "TestFiles.h"
#include "journal/JournalTime.h"
#include "journal/OperationRecord.h"

namespace nkq::journal::testing {

class JournalFixture : public ::testing::Test {
protected:
    // The file and its write-ahead log, as bytes.
    std::string FileBytes() const {
        return nkq::testing::ReadFile(path_) + nkq::testing::ReadFile(path_.string() + "-wal");
    }

    nkq::testing::TempFolder folder_{"journal"};
    std::filesystem::path path_ = folder_ / "journal.sqlite3";
};

inline TimePoint At(const char* text) { return *ParseJournalTime(text); }

// A write from the window that filled in its exchanges and password.
inline OperationRecord SampleWrite() {
    OperationRecord record;
    record.Started = At("2026-12-08T10:15:02.123Z");
    record.Duration = std::chrono::milliseconds(4210);
    record.Program = ProgramKind::Window;
    record.User = "anna";
    record.Host = "bench-3";
    record.Port = "/dev/ttyUSB0";
    record.Operation = OperationKind::Write;
    record.Result = Outcome::Succeeded;
    record.Messages = {{"Параметры записаны", std::nullopt}};
    record.Modem = {"NKQ-GPRS ", "virtual", "1.0"};
    record.Exchanges = {{"APN internet", "OK"}, {"PASSWORD ********", "OK"}};
    record.Password = PasswordWritten{true, PasswordChange::Changed};
    return record;
}

inline OperationRecord SampleFlash() {
    OperationRecord record = SampleWrite();
    record.Operation = OperationKind::Flash;
    record.Program = ProgramKind::Nkq;
    record.Exchanges.clear();
    record.Password.reset();
    record.Messages = {{"Обновить ПО?", true}, {"Тайм-аут", std::nullopt}};
    record.Result = Outcome::Failed;
    record.Firmware = FirmwareDetails{"/srv/fw/nkq 2.1.bin", 1048576, 2048, std::string(64, 'a'), 1500};
    return record;
}

}  // namespace nkq::journal::testing
