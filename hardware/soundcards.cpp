#include "hardware/soundcards.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <system_error>

#include "hardware/udevpointers.h"
#include "hid/hidid.h"
#include "hid/sysfsnames.h"

namespace hardware {

namespace {

namespace sysfs = hid::sysfs;

bool IsNumber(const std::string& text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

// 0 for an attribute that is absent or not a number.
WORD HexAttribute(udev_device* device, const char* attribute) {
    unsigned long value = 0;
    return hid::ParseHex(UdevText(udev_device_get_sysattr_value(device, attribute)), 0xFFFF, &value)
               ? static_cast<WORD>(value)
               : 0;
}

// The card's PCM devices, from the entries "pcmC<card>D<device><c|p>" of its directory.
void ReadPcmDevices(const std::string& cardSyspath, SoundCard* card) {
    const std::string prefix = "pcmC" + std::to_string(card->number) + "D";
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(cardSyspath, error)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(prefix, 0) != 0 || name.size() < prefix.size() + 2) {
            continue;
        }
        const std::string number = name.substr(prefix.size(), name.size() - prefix.size() - 1);
        if (!IsNumber(number)) {
            continue;
        }
        const auto device = static_cast<unsigned>(std::strtoul(number.c_str(), nullptr, 10));
        if (name.back() == 'c') {
            card->captureDevices.push_back(device);
        } else if (name.back() == 'p') {
            card->playbackDevices.push_back(device);
        }
    }
    std::sort(card->captureDevices.begin(), card->captureDevices.end());
    std::sort(card->playbackDevices.begin(), card->playbackDevices.end());
}

// The card behind a device of the sound class named "card<N>", or nothing for one without an id.
std::optional<SoundCard> DescribeCard(udev_device* device) {
    const char* number = udev_device_get_sysnum(device);
    if (number == nullptr ||
        UdevText(udev_device_get_sysname(device)) != sysfs::kCardPrefix + std::string(number)) {
        return std::nullopt;
    }
    SoundCard card;
    card.number = static_cast<unsigned>(std::strtoul(number, nullptr, 10));
    card.id = UdevText(udev_device_get_sysattr_value(device, sysfs::kCardId));
    if (card.id.empty()) {
        return std::nullopt;
    }
    // Parents belong to their child.
    udev_device* usbInterface = udev_device_get_parent_with_subsystem_devtype(
        device, sysfs::kUsbSubsystem, sysfs::kUsbInterface);
    udev_device* usbDevice = udev_device_get_parent_with_subsystem_devtype(
        device, sysfs::kUsbSubsystem, sysfs::kUsbDevice);
    if (usbInterface != nullptr && usbDevice != nullptr) {
        card.interfaceSyspath = UdevText(udev_device_get_syspath(usbInterface));
        card.usbDeviceSyspath = UdevText(udev_device_get_syspath(usbDevice));
        card.vendorId = HexAttribute(usbDevice, sysfs::kIdVendor);
        card.productId = HexAttribute(usbDevice, sysfs::kIdProduct);
    }
    ReadPcmDevices(UdevText(udev_device_get_syspath(device)), &card);
    return card;
}

}  // namespace

std::vector<SoundCard> PresentSoundCards() {
    std::vector<SoundCard> cards;
    ForEachPresentDevice(sysfs::kSoundSubsystem, "card*", [&cards](udev_device* device) {
        if (std::optional<SoundCard> card = DescribeCard(device)) {
            cards.push_back(std::move(*card));
        }
    });
    std::sort(cards.begin(), cards.end(),
              [](const SoundCard& a, const SoundCard& b) { return a.number < b.number; });
    return cards;
}

}  // namespace hardware
