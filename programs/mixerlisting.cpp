#include "programs/mixerlisting.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "device/mixerids.h"
#include "diagnostics/logrecords.h"
#include "hardware/hardwarebackend.h"
#include "hardware/hidrawdevices.h"

namespace programs {

namespace {

std::string Hex4(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%04X", value);
    return text;
}

std::string Mode(WORD productId) {
    switch (productId) {
        case PRODUCT_ID_RUN:
            return "application (product id " + Hex4(productId) + ")";
        case PRODUCT_ID_UPDATE:
        case PRODUCT_ID_UPDATE_ALT:
            return "update, as product id " + Hex4(productId);
        default:
            return "unknown (product id " + Hex4(productId) + ")";
    }
}

std::string Ascii(const std::u16string& text) {
    std::string ascii;
    for (const char16_t c : text) {
        ascii += c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?';
    }
    return ascii;
}

// Whether this process may open the node for the update's transfers, by the rights an open is
// judged by (the effective ones).
std::string Access(const std::string& devnode) {
    if (faccessat(AT_FDCWD, devnode.c_str(), R_OK | W_OK, AT_EACCESS) == 0) {
        return "read and write";
    }
    return std::string("none for this user (") + std::strerror(errno) +
           "): " + hardware::NodeAccessFix();
}

}  // namespace

int ListMixers(std::string* listing) {
    bool found = false;
    for (const hardware::HidrawDevice& device : hardware::PresentHidrawDevices()) {
        const portable::HidDescription& description = device.description;
        if (description.vendorId != VENDOR_ID) {
            continue;
        }
        *listing += std::string(found ? "\n" : "") + "Vantor at " + device.devnode + "\n";
        *listing += "  mode: " + Mode(description.productId) + "\n";
        *listing += "  firmware: " + runlog::FirmwareVersionText(description.versionNumber) +
                    " (bcdDevice " + Hex4(description.versionNumber) + ")\n";
        *listing += "  serial: " +
                    (description.serialNumber ? Ascii(*description.serialNumber) : "none given") +
                    "\n";
        *listing += "  access: " + Access(device.devnode) + "\n";
        found = true;
    }
    if (!found) {
        *listing += "no Vantor is attached (no hidraw node of vendor id " + Hex4(VENDOR_ID) + ")\n";
        return ERROR_BAD_UNIT;
    }
    return ERROR_SUCCESS;
}

}  // namespace programs
