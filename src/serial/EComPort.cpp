#include "serial/EComPort.h"

#include "app/Catalogue.h"
#include "app/LibraryText.h"
#include "app/MessageText.h"

namespace nkq {

namespace {

// The port layer's own catalogue domain, registered when the program starts,
// like any start-up work of a linked-in layer.
[[maybe_unused]] const bool kPortDomainRegistered = (RegisterCatalogueDomain("cport"), true);

std::string BuildMessage(int message_code, int system_error) {
    return LibraryText(ComErrorText(message_code)) +
           FillIn(LibraryText(" (win error code: %d)"), {std::to_string(system_error)});
}

}  // namespace

const char* ComErrorText(int MessageCode) {
    switch (MessageCode) {
        case kComOpenFailed:
            return "Unable to open com port";
        case kComWriteFailed:
            return "WriteFile function failed";
        case kComReadFailed:
            return "ReadFile function failed";
        case kComPurgeFailed:
            return "PurgeComm function failed";
        case kComSetStateFailed:
            return "SetCommState function failed";
        case kComSetTimeoutsFailed:
            return "SetCommTimeouts failed";
        case kComSetupFailed:
            return "SetupComm function failed";
        case kComClearErrorFailed:
            return "ClearCommError function failed";
        case kComModemStatusFailed:
            return "GetCommModemStatus function failed";
        case kComRegistryFailed:
            return "Registry error";
        default:
            return "";
    }
}

EComPort::EComPort(int MessageCode, int SystemError)
    : EComPort(MessageCode, SystemError, BuildMessage(MessageCode, SystemError)) {}

EComPort::EComPort(int MessageCode, int SystemError, std::string message)
    : Exception("EComPort", std::move(message)), message_code_(MessageCode), system_error_(SystemError) {}

}  // namespace nkq
