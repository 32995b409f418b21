#include "sim/mixernames.h"

#include <cstdio>

#include "platform/interfaceclasses.h"
#include "platform/portable/interfacepath.h"
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

// The mixer's audio function's part of its instance ids: "USB\VID_0CA8&PID_0801&MI_01\".
std::string AudioFunction() {
    return "USB\\" + portable::UsbIds(VENDOR_ID, PRODUCT_ID_RUN) + "&MI_01\\";
}

}  // namespace

std::string MixerIdentity(WORD productId) {
    return Hex4(VENDOR_ID) + ":" + Hex4(productId);
}

MixerHidNames HidNames(std::size_t unit, WORD productId, unsigned generation, bool longPath) {
    const std::string port = Port(unit);
    const std::string ids = portable::UsbIds(VENDOR_ID, productId);
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
    names.path =
        portable::InterfacePath("HID\\" + ids + "&MI_00\\" + instance, HID_INTERFACE_CLASS);
    return names;
}

std::string AudioFunctionInstance() {
    return AudioFunction() + "6&2B8F1A7&0&0001";
}

std::string AudioInterfacePath(std::size_t unit, unsigned generation, std::size_t pathRoom) {
    const std::string function = AudioFunction();
    std::string instance = "7&a3b5c9e&" + std::to_string(generation) + "&" + Port(unit);
    const std::string reference = "\\global";
    if (pathRoom != 0) {
        const std::size_t length =
            portable::InterfacePath(function + instance, AUDIO_INTERFACE_CLASS).size() +
            reference.size();
        instance += "&" + std::string(pathRoom - length - 1, '0');
    }
    return portable::InterfacePath(function + instance, AUDIO_INTERFACE_CLASS) + reference;
}

}  // namespace sim
