#include "journal/JournalOperator.h"

#include "journal/OperationRecorder.h"

namespace nkq::journal {

// Recorded before it is shown: the window's message box returns only when
// closed, and a stop during it must not lose the message.
void JournalOperator::InformOperator(const std::string& text) {
    recorder_.AddMessage(text);
    shown_.InformOperator(text);
}

bool JournalOperator::AskYesNo(const std::string& text, const std::string& caption) {
    const bool answer = shown_.AskYesNo(text, caption);
    recorder_.AddQuestion(text, answer);
    return answer;
}

}  // namespace nkq::journal
