#pragma once
// A drop-down list with fixed entries. An index outside the entries clears the
// selection instead of failing, because a parameter line may carry any number.
#include <string>
#include <vector>

#include "params/Field.h"

namespace nkq {

class ComboField : public Field {
public:
    ComboField(std::vector<std::string> entries, int index);

    const std::vector<std::string>& Entries() const { return entries_; }
    int Count() const { return static_cast<int>(entries_.size()); }

    // -1 when nothing is selected.
    int Index() const { return index_; }
    void SetIndex(int index);

    // The selected entry's text; empty when nothing is selected.
    std::string Text() const;

    // Position of the first entry equal to `text`, or -1.
    int IndexOf(const std::string& text) const;

private:
    std::vector<std::string> entries_;
    int index_ = -1;
};

}  // namespace nkq
