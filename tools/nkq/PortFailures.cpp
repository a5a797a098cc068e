#include "PortFailures.h"

#include <exception>

#include "CommandOperator.h"
#include "PortAdvice.h"
#include "StandardOutput.h"
#include "app/ErrorText.h"
#include "app/Failure.h"
#include "serial/EComPort.h"
#include "serial/SerialDevice.h"

namespace nkq::cli {

namespace {

void ReportPortFailure(CommandOperator& op, const EComPort& failure, const std::string& port) {
    op.ReportFailure(ErrorDisplayText(failure.Message()));
    if (failure.MessageCode() != kComOpenFailed) return;
    const std::string advice = OpenFailureAdvice(failure.SystemError(), DevicePathForPort(port));
    if (!advice.empty()) op.Print(advice);
}

}  // namespace

bool RunReportingFailures(CommandOperator& op, const std::string& port, const std::function<bool()>& body) {
    try {
        return body();
    } catch (const EAbort&) {
    } catch (const EComPort& e) {
        ReportPortFailure(op, e, port);
    } catch (const EOutputError& e) {
        op.ReportFailure(e.Message());  // worded as the shell's tools word it
    } catch (const Exception& e) {
        op.ReportFailure(ErrorDisplayText(e.Message()));
    } catch (const std::exception& e) {
        op.ReportFailure(ErrorDisplayText(e.what()));
    } catch (...) {
        op.ReportFailure("unexpected failure");  // a port's thread must never end the program
    }
    return false;
}

}  // namespace nkq::cli
