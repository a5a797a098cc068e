#pragma once
// A single-line text held as the bytes it arrived with. The typing limit only
// tells the window how much the operator may type; texts set from a parameter
// line are kept whole.
#include <cstddef>
#include <string>

#include "params/Field.h"

namespace nkq {

class TextField : public Field {
public:
    // A limit of 0 means the window sets none.
    explicit TextField(std::size_t typing_limit = 0) : typing_limit_(typing_limit) {}

    const std::string& Text() const { return text_; }
    void SetText(const std::string& text);

    std::size_t TypingLimit() const { return typing_limit_; }

private:
    std::string text_;
    std::size_t typing_limit_;
};

inline void TextField::SetText(const std::string& text) {
    if (text == text_) return;
    text_ = text;
    Changed(ChangeKind::Value);
}

}  // namespace nkq
