// Every field for a script: the objects come from SQLite, one per line.
#include "journal/JournalFormats.h"

namespace nkq::journal {

void JsonArrayWriter::Begin(std::ostream& out) {
    out << "[";
    first_ = true;
}

void JsonArrayWriter::Write(std::ostream& out, const std::string& object) {
    out << (first_ ? "\n  " : ",\n  ") << object;
    first_ = false;
}

void JsonArrayWriter::End(std::ostream& out) { out << (first_ ? "]\n" : "\n]\n"); }

}  // namespace nkq::journal
