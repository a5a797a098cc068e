#pragma once
// An operator that passes everything on but one message, which it holds
// until the caller has checked what the message claims: the read's success
// is told only once nkq knows the reply held parameters.
#include <string>

#include "app/ForwardingOperator.h"

namespace nkq::cli {

class HeldMessage : public ForwardingOperator {
public:
    HeldMessage(Operator& inner, std::string held) : ForwardingOperator(inner), held_(std::move(held)) {}

    // Tells the held message, if it came.
    void Release() {
        if (came_) Inner().InformOperator(held_);
        came_ = false;
    }

    void InformOperator(const std::string& text) override {
        if (text == held_) {
            came_ = true;
        } else {
            Inner().InformOperator(text);
        }
    }

private:
    const std::string held_;
    bool came_ = false;
};

}  // namespace nkq::cli
