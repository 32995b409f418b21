// The sound cards of the system as sysfs describes them, read through libudev: each card's number
// and id, the USB interface and USB device it belongs to, and its capture and playback PCM devices.
#pragma once

#include <string>
#include <vector>

#include "platform/win32api.h"

namespace hardware {

struct SoundCard {
    unsigned number = 0;  // 0 for card0
    std::string id;       // the card's name for alsa-lib, "hw:CARD=<id>"
    // Empty for a card that is not on USB.
    std::string interfaceSyspath;
    std::string usbDeviceSyspath;
    WORD vendorId = 0;
    WORD productId = 0;
    std::vector<unsigned> captureDevices;  // the PCM devices that record, by number
    std::vector<unsigned> playbackDevices;
};

// The cards present now, in the order of their numbers.
std::vector<SoundCard> PresentSoundCards();

}  // namespace hardware
