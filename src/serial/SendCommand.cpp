#include "serial/SendCommand.h"

#include "protocol/TextLines.h"
#include "serial/ComPort.h"

namespace nkq {

void SendCommand(TCustomComPort& port, std::string_view command) {
    port.WriteText(modem::CommandText(command));
}

}  // namespace nkq
