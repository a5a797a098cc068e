#include "params/ComboField.h"

#include <algorithm>
#include <utility>

namespace nkq {

ComboField::ComboField(std::vector<std::string> entries, int index) : entries_(std::move(entries)) {
    index_ = (index >= 0 && index < Count()) ? index : -1;
}

void ComboField::SetIndex(int index) {
    const int selected = (index >= 0 && index < Count()) ? index : -1;
    if (selected == index_) return;
    index_ = selected;
    Changed(ChangeKind::Value);
}

std::string ComboField::Text() const { return index_ < 0 ? std::string() : entries_[index_]; }

int ComboField::IndexOf(const std::string& text) const {
    const auto found = std::find(entries_.begin(), entries_.end(), text);
    return found == entries_.end() ? -1 : static_cast<int>(found - entries_.begin());
}

}  // namespace nkq
