// Which device stands for COM1 to COM4: VALDRIN_COM1..4 when set, otherwise the
// n-th present serial device in the order ttyUSB*, ttyACM*, ttyS* (each by number).
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace valdrin {

// Device names as found in a directory listing, e.g. "ttyS0", "ttyUSB1".
// Ordered USB adapters first, then ACM modems, then on-board ports, each by number;
// other names are dropped.
std::vector<std::string> orderSerialDevices(const std::vector<std::string>& names);

// Serial devices present on this machine, ordered as above, as full paths under /dev.
// A ttyS port counts as present only when the kernel found a UART behind it (most
// of the ttyS nodes of a PC have no hardware).
std::vector<std::string> presentSerialDevices();

// The device path for COM<number> (1..4): the variable VALDRIN_COM<number> when
// lookupEnv finds it non-empty, else the number-th entry of present, else empty.
std::string comPortDevice(int number, const std::function<const char*(const char*)>& lookupEnv,
                          const std::vector<std::string>& present);
// The same on this machine's environment and devices.
std::string comPortDevice(int number);

} // namespace valdrin
