#pragma once
// Keeps every change notice of a parameter set in order.
#include <algorithm>
#include <utility>
#include <vector>

#include "params/ParameterSet.h"

namespace nkq::testing {

class ChangeRecorder {
public:
    explicit ChangeRecorder(ParameterSet& set) {
        set.SetListener([this](Item item, ChangeKind kind) { changes.emplace_back(item, kind); });
    }

    bool Saw(Item item, ChangeKind kind) const {
        return std::find(changes.begin(), changes.end(), std::pair{item, kind}) != changes.end();
    }

    std::vector<std::pair<Item, ChangeKind>> changes;
};

// A field's own change hook, counted by kind.
struct HookCounter {
    int values = 0;
    int enabled = 0;
    void Attach(Field& field) {
        field.SetChangeHook([this](ChangeKind kind) { ++(kind == ChangeKind::Value ? values : enabled); });
    }
};

}  // namespace nkq::testing
