#pragma once
// The operator of one port when several ports run at once: its messages go
// to the shared console with the port's name in front, and are kept so that
// the final table can show what went wrong on that port.
#include <string>
#include <vector>

#include "CommandOperator.h"
#include "PortConsole.h"

namespace nkq::cli {

class PortOperator : public CommandOperator {
public:
    // `answer` is what every question gets: it was asked once for all ports.
    PortOperator(PortConsole& console, std::string port, bool answer);

    void InformOperator(const std::string& text) override;
    bool AskYesNo(const std::string& text, const std::string& caption) override;
    void SetCursorOverride(CursorOverride) override {}
    void ProcessPendingEvents() override {}
    void ShowProgress(bool) override {}
    void SetProgressTotal(int total) override;
    void SetProgressCompleted(int completed) override;
    void AdvanceProgress() override;

    void Print(const std::string& text) override;
    void Output(const std::string& text) override;

    const std::vector<std::string>& Messages() const { return messages_; }

private:
    PortConsole& console_;
    const std::string port_;
    const bool answer_;
    std::vector<std::string> messages_;
};

}  // namespace nkq::cli
