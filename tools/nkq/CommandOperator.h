#pragma once
// The operator of one port's operation in nkq: what the operations tell the
// person, plus the lines nkq adds itself. A single port speaks plainly on the
// terminal (TerminalOperator); several ports share one console (PortOperator).
#include <string>

#include "app/Operator.h"

namespace nkq::cli {

// What a command writes besides the messages of its operation; none of it
// goes on the operation's record.
class CommandOutput {
public:
    virtual ~CommandOutput() = default;

    // A line that is neither a message nor a failure (summary, advice).
    virtual void Print(const std::string& text) = 0;
    // The command's own result, whole lines: standard output for one port,
    // the port's lines for several.
    virtual void Output(const std::string& text) = 0;
};

class CommandOperator : public Operator, public CommandOutput {};

}  // namespace nkq::cli
