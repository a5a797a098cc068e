#pragma once
// An operator that passes everything on and keeps each message and failure
// it was told, for a record made after the fact.
#include <string>
#include <vector>

#include "ForwardingOperator.h"

namespace nkq::cli {

class KeptMessages : public ForwardingOperator {
public:
    KeptMessages(CommandOperator& inner, std::vector<std::string>& kept)
        : ForwardingOperator(inner), kept_(kept) {}

    void InformOperator(const std::string& text) override {
        kept_.push_back(text);
        Inner().InformOperator(text);
    }
    void ReportFailure(const std::string& text) override {
        kept_.push_back(text);
        Inner().ReportFailure(text);
    }

private:
    std::vector<std::string>& kept_;
};

}  // namespace nkq::cli
