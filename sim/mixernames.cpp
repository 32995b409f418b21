#include "sim/mixernames.h"

#include <cctype>
#include <cstdio>

#include "sim/otherdevices.h"
#include "sim/simconfig.h"

namespace sim {

namespace {

std::string Hex4(WORD value) {
    char text[8];
    std::snprintf(text, sizeof text, "%04X", value);
    return text;
}

std::string Port(std::size_t unit) {
    return unit == 0 ? "3" : "4";
}

}  // namespace

std::string MixerIdentity(WORD productId) {
    return Hex4(kVendorId) + ":" + Hex4(productId);
}

MixerHidNames HidNames(std::size_t unit, WORD productId, unsigned generation, bool longPath) {
    const std::string port = Port(unit);
    const std::string ids = "VID_0CA8&PID_" + Hex4(productId);
    MixerHidNames names;
    // The composite device, its HID interface function, and the HID device node under it: the
    // node whose DevInst the interface reports.
    names.usbDevice = "USB\\" + ids + "\\5&1C4D3E2&0&" + port;
    names.hidFunction = "USB\\" + ids + "&MI_00\\6&2B8F1A7&0&0000";
    names.hidDevice = "HID\\" + ids + "&MI_00\\7&1F2E3D4C&0&0000";
    std::string instance = "8&1f2e3d4c&" + std::to_string(generation) + "&" + port;
    if (longPath) {
        instance += "&" + std::string(220, '0');
    }
    std::string lowerIds = "vid_0ca8&pid_" + Hex4(productId);
    for (char& c : lowerIds) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    names.path = "\\\\?\\hid#" + lowerIds + "&mi_00#" + instance + kHidClassSuffix;
    return names;
}

std::string AudioFunctionInstance() {
    return "USB\\VID_0CA8&PID_0801&MI_01\\6&2B8F1A7&0&0001";
}

std::string AudioInterfacePath(std::size_t unit, unsigned generation, std::size_t pathRoom) {
    std::string path = "\\\\?\\usb#vid_0ca8&pid_0801&mi_01#7&a3b5c9e&" +
                       std::to_string(generation) + "&" + Port(unit);
    const std::string tail = std::string(kAudioClassSuffix) + "\\global";
    if (pathRoom != 0) {
        path += "&" + std::string(pathRoom - path.size() - tail.size() - 1, '0');
    }
    return path + tail;
}

}  // namespace sim
