#pragma once
// An IPv4 address field: four parts of 0..255 with fixed dots between them.
#include <array>
#include <cstdint>
#include <string>

#include "params/Field.h"

namespace nkq {

class IpAddressField : public Field {
public:
    using Parts = std::array<std::uint8_t, 4>;

    const Parts& GetParts() const { return parts_; }
    void SetParts(const Parts& parts);

    // The four parts in dotted decimal form, "0.0.0.0" at start.
    std::string Text() const;

    // Cut at the dots (the fourth piece keeps any further dots); a piece that
    // is no strict integer counts as 0, and only its low eight bits count.
    void SetText(const std::string& text);

private:
    Parts parts_{};
};

}  // namespace nkq
