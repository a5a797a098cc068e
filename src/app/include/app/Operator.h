#pragma once
// The one way operations reach the person at the workstation. The window
// answers with dialogs, the command line with standard error, the tests with
// a recorder. Texts are UTF-8.
#include <string>

namespace nkq {

enum class CursorOverride { None, Hourglass, Arrow };

class Operator {
public:
    virtual ~Operator() = default;

    // Returns when the operator has closed the message.
    virtual void InformOperator(const std::string& text) = 0;
    virtual bool AskYesNo(const std::string& text, const std::string& caption) = 0;

    virtual void SetCursorOverride(CursorOverride cursor) = 0;
    // Lets the front end handle whatever input and repaints are pending.
    virtual void ProcessPendingEvents() = 0;

    // The firmware progress bar.
    virtual void ShowProgress(bool visible) = 0;
    virtual void SetProgressTotal(int total) = 0;
    virtual void SetProgressCompleted(int completed) = 0;
    virtual void AdvanceProgress() = 0;
};

}  // namespace nkq
