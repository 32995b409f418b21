#include "sim/virtualmixer/sysfsentries.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "device/mixerids.h"
#include "hid/hidid.h"
#include "hid/sysfsnames.h"

namespace sim {

namespace {

namespace fs = std::filesystem;
namespace sysfs = hid::sysfs;

constexpr int kHidrawMajor = 240;  // a dynamic major, as the kernel gives hidraw

std::string Hex(unsigned value, int digits, bool upper) {
    char text[16];
    std::snprintf(text, sizeof text, upper ? "%0*X" : "%0*x", digits, value);
    return text;
}

std::string UsbName(const SysfsNode& node) {
    return "1-" + std::to_string(node.port);
}

std::string HidName(const SysfsNode& node) {
    const auto& d = node.identity.description;
    return Hex(hid::kBusUsb, 4, true) + ":" + Hex(d.vendorId, 4, true) + ":" +
           Hex(d.productId, 4, true) + "." + Hex(node.hidSerial, 4, true);
}

bool WriteFile(const fs::path& path, const std::string& text) {
    std::ofstream file(path);
    file << text;
    file.close();
    return !file.fail();
}

// A device directory: its uevent and the link whose last component names its subsystem.
bool MakeDevice(const fs::path& dir, const std::string& subsystemLink, const std::string& uevent) {
    std::error_code error;
    fs::create_directories(dir, error);
    if (error) {
        errno = error.value();
        return false;
    }
    fs::create_symlink(subsystemLink, dir / "subsystem", error);
    if (error) {
        errno = error.value();
        return false;
    }
    return WriteFile(dir / "uevent", uevent);
}

// The class link `dir`/`name` to a device directory.
bool Link(const fs::path& target, const std::string& dir, const std::string& name) {
    std::error_code error;
    fs::create_directories(dir, error);
    fs::create_symlink(target, fs::path(dir) / name, error);
    if (error) {
        errno = error.value();
        return false;
    }
    return true;
}

// Only the mixer running its firmware has its audio function.
bool HasSoundCard(const SysfsPlaces& places, const SysfsNode& node) {
    const auto& d = node.identity.description;
    return !places.soundDir.empty() && d.vendorId == VENDOR_ID && d.productId == PRODUCT_ID_RUN;
}

unsigned CardNumber(const SysfsNode& node) {
    return node.port - 3;
}

std::string CardName(const SysfsNode& node) {
    return sysfs::kCardPrefix + std::to_string(CardNumber(node));
}

// The audio interface beside the HID interface, its card, and the card's capture PCM device, as
// snd-usb-audio makes them.
bool WriteSoundCard(const SysfsPlaces& places, const SysfsNode& node) {
    const auto& d = node.identity.description;
    const unsigned number = CardNumber(node);
    const fs::path audio = fs::path(UsbDeviceDir(places, node)) / (UsbName(node) + ":1.1");
    const fs::path card = audio / sysfs::kSoundSubsystem / CardName(node);
    const std::string pcm = "pcmC" + std::to_string(number) + "D0c";
    const std::string product = Hex(d.vendorId, 1, false) + "/" + Hex(d.productId, 1, false) + "/" +
                                Hex(d.versionNumber, 1, false);
    return MakeDevice(audio, "/sys/bus/usb",
                      std::string("DEVTYPE=") + sysfs::kUsbInterface +
                          "\nDRIVER=snd-usb-audio\nPRODUCT=" + product +
                          "\nTYPE=0/0/0\nINTERFACE=1/1/0\n") &&
           MakeDevice(card, "/sys/class/sound", "") &&
           WriteFile(card / sysfs::kCardId,
                     (number == 0 ? "Vantor" : "Vantor_" + std::to_string(number)) + "\n") &&
           WriteFile(card / sysfs::kCardNumber, std::to_string(number) + "\n") &&
           MakeDevice(card / pcm, "/sys/class/sound",
                      "MAJOR=116\nMINOR=" + std::to_string(24 + 32 * number) + "\nDEVNAME=snd/" +
                          pcm + "\n") &&
           Link(card, places.soundDir, CardName(node));
}

}  // namespace

std::string AsciiText(const std::optional<std::u16string>& text) {
    std::string ascii;
    for (const char16_t c : text.value_or(u"")) {
        ascii.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    }
    return ascii;
}

std::string UsbDeviceDir(const SysfsPlaces& places, const SysfsNode& node) {
    return (fs::path(places.devicesDir) / "usb1" / UsbName(node)).string();
}

std::string HidrawDir(const SysfsPlaces& places, const SysfsNode& node) {
    return (fs::path(UsbDeviceDir(places, node)) / (UsbName(node) + ":1.0") / HidName(node) /
            sysfs::kHidrawSubsystem / node.name)
        .string();
}

bool WriteSysfsEntries(const SysfsPlaces& places, const SysfsNode& node) {
    const auto& d = node.identity.description;
    const std::string product = Hex(d.vendorId, 1, false) + "/" + Hex(d.productId, 1, false) + "/" +
                                Hex(d.versionNumber, 1, false);
    const fs::path usb = UsbDeviceDir(places, node);
    const fs::path usbInterface = usb / (UsbName(node) + ":1.0");
    const fs::path hidDevice = usbInterface / HidName(node);
    const fs::path hidraw = HidrawDir(places, node);
    const bool written =
        MakeDevice(usb, "/sys/bus/usb",
                   "MAJOR=189\nMINOR=" + std::to_string(node.port) + "\nDEVNAME=bus/usb/001/" +
                       Hex(node.port + 1, 3, false) + "\nDEVTYPE=" + sysfs::kUsbDevice +
                       "\nDRIVER=usb\nPRODUCT=" + product +
                       "\nTYPE=0/0/0\nBUSNUM=001\nDEVNUM=" + Hex(node.port + 1, 3, false) + "\n") &&
        WriteFile(usb / sysfs::kIdVendor, Hex(d.vendorId, 4, false) + "\n") &&
        WriteFile(usb / sysfs::kIdProduct, Hex(d.productId, 4, false) + "\n") &&
        WriteFile(usb / sysfs::kBcdDevice, Hex(d.versionNumber, 4, false) + "\n") &&
        WriteFile(usb / sysfs::kManufacturer, AsciiText(d.manufacturer) + "\n") &&
        WriteFile(usb / sysfs::kProduct, AsciiText(d.product) + "\n") &&
        WriteFile(usb / sysfs::kSerial, AsciiText(d.serialNumber) + "\n") &&
        MakeDevice(usbInterface, "/sys/bus/usb",
                   std::string("DEVTYPE=") + sysfs::kUsbInterface +
                       "\nDRIVER=usbhid\nPRODUCT=" + product + "\nTYPE=0/0/0\nINTERFACE=3/0/0\n") &&
        MakeDevice(hidDevice, "/sys/bus/hid",
                   std::string("DRIVER=hid-generic\n") + sysfs::kHidIdProperty + "=" +
                       hid::HidId(d.vendorId, d.productId) + "\nHID_NAME=" + node.identity.name +
                       "\nHID_PHYS=" + node.identity.phys +
                       "\nHID_UNIQ=" + AsciiText(d.serialNumber) + "\nMODALIAS=hid:b0003g0001v" +
                       Hex(d.vendorId, 8, true) + "p" + Hex(d.productId, 8, true) + "\n") &&
        MakeDevice(hidraw, "/sys/class/hidraw",
                   "MAJOR=" + std::to_string(kHidrawMajor) + "\nMINOR=" + node.name.substr(6) +
                       "\nDEVNAME=" + node.name + "\n");
    // As the kernel links a class device to the device it belongs to.
    if (!written || !Link(hidDevice, hidraw.string(), "device") ||
        !Link(hidraw, places.classDir, node.name)) {
        return false;
    }
    return !HasSoundCard(places, node) || WriteSoundCard(places, node);
}

void RemoveSysfsEntries(const SysfsPlaces& places, const SysfsNode& node) {
    std::error_code error;
    fs::remove(fs::path(places.classDir) / node.name, error);
    if (HasSoundCard(places, node)) {
        fs::remove(fs::path(places.soundDir) / CardName(node), error);
    }
    fs::remove_all(UsbDeviceDir(places, node), error);
}

}  // namespace sim
