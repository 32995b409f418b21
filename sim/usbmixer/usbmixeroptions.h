// The USB mixer's command line: the simulated mixer's options, where its flash goes at the end,
// and the sockets it serves the mixers on.
#pragma once

#include <string>

#include "sim/serveroptions.h"

namespace sim {

struct UsbMixerOptions : ServerOptions {
    std::string socket;        // the first mixer's
    std::string secondSocket;  // the second mixer's, with --second-mixer
};

const OptionTable<UsbMixerOptions>& UsbMixerOptionTable();

// False, with a message, for an option that is unknown or whose value is wrong, for anything that
// is not an option, for a missing --socket, and for a second socket without a second mixer or the
// other way round.
bool ParseUsbMixerOptions(int argc, const char* const* argv, UsbMixerOptions* options,
                          std::string* error);

// What --help prints.
std::string UsbMixerUsage();

}  // namespace sim
