// The virtual mixer's command line: the simulated mixer's options, where its flash goes at the end,
// and where it serves its nodes.
#pragma once

#include <string>

#include "sim/serveroptions.h"

namespace sim {

struct VirtualMixerOptions : ServerOptions {
    std::string devDir = "/dev";
    std::string sysClassDir = "/sys/class/hidraw";
    std::string sysDevicesDir = "/sys/devices/uprobe";
    std::string sysSoundDir;    // empty: no sound card is served
    std::string captureFifo;    // empty: nothing feeds a capture
    std::string mountDir;       // empty: devDir/.virtual-mixer
    bool otherDevices = false;  // the system's other HID devices are served too
    bool statistics = false;    // at the end, the transfers' times, on standard error
};

// The mixer's options and the virtual mixer's own, as the parser and --help read them.
const OptionTable<VirtualMixerOptions>& VirtualMixerOptionTable();

// False, with a message, for an option that is unknown or whose value is wrong, or for anything
// that is not an option.
bool ParseVirtualMixerOptions(int argc, const char* const* argv, VirtualMixerOptions* options,
                              std::string* error);

// What --help prints.
std::string VirtualMixerUsage();

}  // namespace sim
