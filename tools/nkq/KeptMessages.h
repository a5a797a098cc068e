#pragma once
// An operator that passes everything on and keeps each message it was told,
// for a record made after the fact.
#include <string>
#include <vector>

#include "app/ForwardingOperator.h"

namespace nkq::cli {

class KeptMessages : public ForwardingOperator {
public:
    KeptMessages(Operator& inner, std::vector<std::string>& kept) : ForwardingOperator(inner), kept_(kept) {}

    void InformOperator(const std::string& text) override {
        kept_.push_back(text);
        Inner().InformOperator(text);
    }

private:
    std::vector<std::string>& kept_;
};

}  // namespace nkq::cli
