#pragma once
// An operator that passes everything on and keeps, in the operation's
// journal record, each message, question and failure the person was told.
#include <string>

#include "ForwardingOperator.h"
#include "journal/OperationRecorder.h"

namespace nkq::cli {

class RecordedOperator : public ForwardingOperator {
public:
    RecordedOperator(CommandOperator& inner, journal::OperationRecorder& record)
        : ForwardingOperator(inner), record_(record) {}

    void InformOperator(const std::string& text) override {
        record_.AddMessage(text);
        Inner().InformOperator(text);
    }
    bool AskYesNo(const std::string& text, const std::string& caption) override {
        const bool answer = Inner().AskYesNo(text, caption);
        record_.AddQuestion(text, answer);
        return answer;
    }
    void ReportFailure(const std::string& text) override {
        record_.AddMessage(text);
        Inner().ReportFailure(text);
    }
    journal::OperationRecorder* Record() override { return &record_; }

private:
    journal::OperationRecorder& record_;
};

}  // namespace nkq::cli
