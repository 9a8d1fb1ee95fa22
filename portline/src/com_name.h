// The device node a port name stands for on Linux, shared by the library's open, the
// tools and the window's watch of the open device, so that all of them mean one node.
#ifndef PORTLINE_COM_NAME_H
#define PORTLINE_COM_NAME_H

#include <string>

namespace portline {

// A path as it is, "COMn" (any case, n from 1) the n-th serial port /dev/ttyS<n-1>, any
// other name one in /dev.
std::string ComNameDevice(const std::string& name);

} // namespace portline

#endif
