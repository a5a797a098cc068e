#include "KeyDifferences.h"

#include "VisibleText.h"
#include "app/AlignedTable.h"
#include "app/Cp1251.h"
#include "params/ParameterKeyRules.h"

namespace nkq::cli {

namespace {

using Row = AlignedTable::Row;

std::string Shown(const std::string& key, const std::string& value) {
    if (IsHiddenKey(key)) return "(hidden)";
    return Visible(Cp1251ToUtf8(value));
}

Row RowOf(const KeyDifference& difference) {
    return {Visible(difference.key), Shown(difference.key, difference.expected),
            difference.actual ? Shown(difference.key, *difference.actual) : "(not listed)"};
}

}  // namespace

std::string DifferenceTable(const std::vector<KeyDifference>& differences) {
    std::vector<Row> rows;
    for (const auto& difference : differences) rows.push_back(RowOf(difference));
    return AlignedTable::Text({"KEY", "FILE", "MODEM"}, rows);
}

std::string DifferenceSummary(const std::vector<KeyDifference>& differences) {
    std::string keys;
    for (const auto& difference : differences) keys += (keys.empty() ? "" : ", ") + Visible(difference.key);
    return std::to_string(differences.size()) +
           (differences.size() == 1 ? " key differs: " : " keys differ: ") + keys;
}

}  // namespace nkq::cli
