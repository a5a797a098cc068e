#pragma once
// The operator of one port's operation in nkq: what the operations tell the
// person, plus the lines nkq adds itself. A single port speaks plainly on the
// terminal (TerminalOperator); several ports share one console (PortOperator).
#include <string>

#include "app/Operator.h"

namespace nkq::cli {

class CommandOperator : public Operator {
public:
    // A failure that no operation showed itself.
    virtual void ReportFailure(const std::string& text) = 0;
    // A line that is neither a message nor a failure (summary, advice).
    virtual void Print(const std::string& text) = 0;
    // The command's own result, whole lines: standard output for one port,
    // the port's lines for several.
    virtual void Output(const std::string& text) = 0;
};

}  // namespace nkq::cli
