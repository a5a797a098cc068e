#pragma once
// The rules for a port's name that every part of the workstation shares:
// the device a name opens, the other form of a local port's name, the file
// named after a port, the names of ports on serial device servers, and the
// order and match rule of the port list.
#include <string>
#include <string_view>

namespace nkq {

// The device the system opens for a port name: on POSIX a name without "/"
// lives in /dev and a path is used as it is; on Windows "COM7" becomes
// "\\.\COM7" and a name that already starts with "\\.\" stays as it is. A
// network port's name is its own device.
std::string DevicePathForPort(const std::string& port);

// The reverse: the port name whose device `path` is ("/dev/ttyS0" gives
// "ttyS0", "\\.\COM7" gives "COM7"); any other path stays as it is.
std::string PortForDevicePath(const std::string& path);

// The name of a file kept for a port, followed by `extension`: the device
// path without "/dev/" (or "\\.\") and with "/" and "\" made "-", so
// "ttyUSB0", "pts-3" or "COM12"; a network port's name with "://" and ":"
// made "-" ("rfc2217-10.0.0.5-4001", no file name on Windows may hold a
// colon). A name Windows keeps for a device (COM1..COM9 among them, with any
// extension) gets "_": "COM7_.txt".
std::string PortFileName(const std::string& port, std::string_view extension);

// True for "rfc2217://HOST:PORT" and "socket://HOST:PORT" (the scheme in
// any case), well formed or not.
bool IsNetworkPort(const std::string& port);
// What is wrong with a network port's name, or empty when it is well formed.
std::string NetworkPortProblem(const std::string& port);

// The ordering of the port list and the selector's match rule: byte-wise,
// letters compared without regard to case.
bool PortNameLess(const std::string& left, const std::string& right);
bool SamePortName(const std::string& left, const std::string& right);

}  // namespace nkq
