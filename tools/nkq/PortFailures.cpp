#include "PortFailures.h"

#include <exception>

#include "CommandOperator.h"
#include "PortAdvice.h"
#include "StandardOutput.h"
#include "app/ErrorText.h"
#include "app/Failure.h"
#include "serial/EComPort.h"
#include "serial/PortNames.h"

namespace nkq::cli {

namespace {

void ReportPortFailure(Operator& op, CommandOutput& out, const EComPort& failure, const std::string& port) {
    op.InformOperator(ErrorDisplayText(failure.Message()));
    if (failure.MessageCode() != kComOpenFailed) return;
    const std::string advice = OpenFailureAdvice(failure.SystemError(), DevicePathForPort(port));
    if (!advice.empty()) out.Print(advice);
}

}  // namespace

bool RunReportingFailures(Operator& op, CommandOutput& out, const std::string& port,
                          const std::function<bool()>& body) {
    try {
        return body();
    } catch (const EAbort&) {
    } catch (const EComPort& e) {
        ReportPortFailure(op, out, e, port);
    } catch (const EOutputError& e) {
        op.InformOperator(e.Message());  // worded as the shell's tools word it
    } catch (const Exception& e) {
        op.InformOperator(ErrorDisplayText(e.Message()));
    } catch (const std::exception& e) {
        op.InformOperator(ErrorDisplayText(e.what()));
    } catch (...) {
        op.InformOperator("unexpected failure");  // a port's thread must never end the program
    }
    return false;
}

bool RunReportingFailures(CommandOperator& op, const std::string& port, const std::function<bool()>& body) {
    return RunReportingFailures(op, op, port, body);
}

}  // namespace nkq::cli
