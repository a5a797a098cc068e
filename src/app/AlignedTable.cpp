#include "app/AlignedTable.h"

#include <algorithm>
#include <cstdint>

namespace nkq {

std::size_t CharacterCount(std::string_view text) {
    return static_cast<std::size_t>(std::count_if(
        text.begin(), text.end(), [](char c) { return (static_cast<std::uint8_t>(c) & 0xc0) != 0x80; }));
}

AlignedTable::AlignedTable(const Row& heading) : widths_(heading.size(), 0) { Measure(heading); }

void AlignedTable::Measure(const Row& row) {
    for (std::size_t column = 0; column < widths_.size() && column < row.size(); ++column)
        widths_[column] = std::max(widths_[column], CharacterCount(row[column]));
}

std::string AlignedTable::Line(const Row& row) const {
    std::string line;
    for (std::size_t column = 0; column < widths_.size() && column < row.size(); ++column) {
        line += row[column];
        const std::size_t width = CharacterCount(row[column]);
        if (column + 1 < widths_.size())
            line.append((widths_[column] > width ? widths_[column] - width : 0) + 2, ' ');
    }
    line.erase(line.find_last_not_of(' ') + 1);
    return line + '\n';
}

std::string AlignedTable::Text(const Row& heading, const std::vector<Row>& rows) {
    AlignedTable table(heading);
    for (const auto& row : rows) table.Measure(row);
    std::string text = table.Line(heading);
    for (const auto& row : rows) text += table.Line(row);
    return text;
}

}  // namespace nkq
