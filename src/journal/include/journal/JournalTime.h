#pragma once
// Times in the journal are UTC, written so that text order is time order.
#include <optional>
#include <string>
#include <string_view>

#include "journal/OperationRecord.h"

namespace nkq::journal {

// "2026-12-08T10:15:02.123Z": what the journal stores, CSV and JSON show.
std::string FormatJournalTime(TimePoint time);

// "2026-12-08 10:15:02": what the table shows (to the second, still UTC).
std::string FormatTableTime(TimePoint time);

// The two for a record read back; a start time this program could not read
// is shown as stored.
std::string ShownJournalTime(const OperationRecord& record);
std::string ShownTableTime(const OperationRecord& record);

// A UTC date or time: "2026-12-08", "2026-12-08 10:15", "2026-12-08T10:15:02",
// "2026-12-08T10:15:02.123Z" and the like (T or blank between, Z optional).
// nullopt for anything else, an impossible date included.
std::optional<TimePoint> ParseJournalTime(std::string_view text);

}  // namespace nkq::journal
