// The names Windows gives a Vantor's device nodes and interfaces, as the device stand-ins list
// them. A name carries the mixer's port (the first mixer on port 3, the second on 4) and its
// generation, so that every arrival after a restart is a new device with a new path.
#pragma once

#include <cstddef>
#include <string>

#include "platform/win32api.h"

namespace sim {

// "0CA8:0801": how the transcript names the mixer's identity.
std::string MixerIdentity(WORD productId);

// The HID side of a mixer that arrives with `productId`: the composite USB device, its HID
// interface function and the HID device under it (instance ids), and the HID interface's path.
struct MixerHidNames {
    std::string usbDevice;
    std::string hidFunction;
    std::string hidDevice;
    std::string path;
};
// `longPath`: the interface's path grows past the wizard's room for it.
MixerHidNames HidNames(std::size_t unit, WORD productId, unsigned generation, bool longPath);

// The audio side, in application mode only: the audio function's instance id beside the HID
// function, and its audio interface's path.
std::string AudioFunctionInstance();
// `pathRoom`, if not 0: the path is made one character longer than that many UTF-16 characters
// less the terminator, so the device-setup service gives it whole and a wave driver's name buffer
// of that room cuts it.
std::string AudioInterfacePath(std::size_t unit, unsigned generation, std::size_t pathRoom);

}  // namespace sim
