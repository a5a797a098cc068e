// Which device a port name opens: a port on a serial device server, or a
// device of this machine.
#include "LocalSerialDevice.h"
#include "NetworkDevice.h"
#include "NetworkPortName.h"
#include "SerialDevice.h"
#include "SocketCalls.h"

namespace nkq {

SerialDeviceError::SerialDeviceError(int error_number, std::string detail)
    : std::system_error(error_number, std::system_category(), detail), detail_(std::move(detail)) {}

std::unique_ptr<SerialDevice> OpenSerialDevice(const std::string& port) {
    if (!IsNetworkPort(port)) return std::make_unique<LocalSerialDevice>(port);
    const auto name = ParseNetworkPortName(port);
    if (!name) throw SerialDeviceError(net::kInvalid, NetworkPortProblem(port));
    return std::make_unique<NetworkDevice>(*name);
}

bool IsDeviceGoneError(int error_number) {
    return IsLocalDeviceGoneError(error_number) || net::IsConnectionLost(error_number);
}

}  // namespace nkq
