#include "KeyDifferences.h"

#include <algorithm>
#include <array>

#include "VisibleText.h"
#include "app/Cp1251.h"
#include "protocol/ParameterKeys.h"

namespace nkq::cli {

namespace {

using Row = std::array<std::string, 3>;

std::string Shown(const std::string& key, const std::string& value) {
    if (key == modem::kPasswordKey) return "(hidden)";
    return Visible(Cp1251ToUtf8(value));
}

Row RowOf(const KeyDifference& difference) {
    return {Visible(difference.key), Shown(difference.key, difference.expected),
            difference.actual ? Shown(difference.key, *difference.actual) : "(not listed)"};
}

// Cyrillic letters take two bytes but one column.
std::size_t Columns(const std::string& text) {
    return static_cast<std::size_t>(std::count_if(
        text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

}  // namespace

std::string DifferenceTable(const std::vector<KeyDifference>& differences) {
    std::vector<Row> rows{{"KEY", "FILE", "MODEM"}};
    for (const auto& difference : differences) rows.push_back(RowOf(difference));
    std::array<std::size_t, 2> widths{};
    for (const auto& row : rows)
        for (std::size_t column = 0; column < widths.size(); ++column)
            widths[column] = std::max(widths[column], Columns(row[column]));
    std::string table;
    for (const auto& row : rows) {
        for (std::size_t column = 0; column < widths.size(); ++column)
            table += row[column] + std::string(widths[column] - Columns(row[column]) + 2, ' ');
        table += row.back() + "\n";
    }
    return table;
}

std::string DifferenceSummary(const std::vector<KeyDifference>& differences) {
    std::string keys;
    for (const auto& difference : differences) keys += (keys.empty() ? "" : ", ") + Visible(difference.key);
    return std::to_string(differences.size()) +
           (differences.size() == 1 ? " key differs: " : " keys differ: ") + keys;
}

}  // namespace nkq::cli
