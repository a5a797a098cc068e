#pragma once
// The three ways `nkq journal` shows records: a table for a person, CSV for a
// spreadsheet and JSON for a script. The last two carry every field. Each is
// written one record at a time, so a listing of any length holds one record.
// The JSON objects are SQLite's own (ForEachJsonInJournal); only the array
// around them is written here.
#include <ostream>
#include <string>
#include <vector>

#include "app/AlignedTable.h"
#include "journal/OperationRecord.h"

namespace nkq::journal {

class JournalWriter {
public:
    virtual ~JournalWriter() = default;
    virtual void Begin(std::ostream& out) = 0;
    virtual void Write(std::ostream& out, const OperationRecord& record) = 0;
    virtual void End(std::ostream& out) = 0;
};

// One line per operation: time (UTC), port, operation, modem, result and the
// first message, in columns under a heading line. The columns are as wide as
// their widest cell, so every record is measured before the first is
// written; a wider one written later only pushes its own line out.
class TableWriter : public JournalWriter {
public:
    TableWriter();
    void Measure(const OperationRecord& record);
    void Begin(std::ostream& out) override;
    void Write(std::ostream& out, const OperationRecord& record) override;
    void End(std::ostream&) override {}

private:
    AlignedTable table_;
};

// RFC 4180: a heading row, CR LF between rows, fields quoted where needed;
// UTF-8 with a byte order mark, which spreadsheets take as the encoding. A
// list field holds one entry per line. A cell that begins with "=", "+", "-"
// or "@" gets a "'" first, so that a spreadsheet shows it as text instead of
// running it as a formula.
class CsvWriter : public JournalWriter {
public:
    void Begin(std::ostream& out) override;
    void Write(std::ostream& out, const OperationRecord& record) override;
    void End(std::ostream&) override {}
};

// An array with one object per operation, one per line.
class JsonArrayWriter {
public:
    void Begin(std::ostream& out);
    void Write(std::ostream& out, const std::string& object);
    void End(std::ostream& out);

private:
    bool first_ = true;
};

// The whole listing of records already at hand.
void WriteJournalTable(std::ostream& out, const std::vector<OperationRecord>& records);
void WriteJournalCsv(std::ostream& out, const std::vector<OperationRecord>& records);

}  // namespace nkq::journal
