#pragma once
// A table of UTF-8 text in aligned columns for a terminal: each column as
// wide as its widest cell, counted in characters (a Cyrillic letter takes
// two bytes but one column), two blanks between columns, the last column not
// padded and no blank at the end of a line. Every row is measured before the
// first is written, so a table can be written one row at a time.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace nkq {

class AlignedTable {
public:
    using Row = std::vector<std::string>;

    // The heading row sets the number of columns and their least widths.
    explicit AlignedTable(const Row& heading);

    // Widens the columns to hold the row.
    void Measure(const Row& row);
    // One line, "\n" included.
    std::string Line(const Row& row) const;

    // The heading and the rows, measured and written at once.
    static std::string Text(const Row& heading, const std::vector<Row>& rows);

private:
    std::vector<std::size_t> widths_;
};

// Characters (code points) in UTF-8 text.
std::size_t CharacterCount(std::string_view text);

}  // namespace nkq
