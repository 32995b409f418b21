// The names under which Linux shows a USB HID device and its sound card in sysfs and in their
// uevents: what the virtual mixer writes and the hardware backend reads back through libudev.
#pragma once

namespace hid::sysfs {

// The devtypes of the USB device and of its interfaces, above a hidraw node or a sound card.
inline constexpr char kUsbSubsystem[] = "usb";
inline constexpr char kUsbDevice[] = "usb_device";
inline constexpr char kUsbInterface[] = "usb_interface";

// Attributes of the USB device: the identity in hexadecimal, the strings as UTF-8, a line each.
inline constexpr char kIdVendor[] = "idVendor";
inline constexpr char kIdProduct[] = "idProduct";
inline constexpr char kBcdDevice[] = "bcdDevice";
inline constexpr char kManufacturer[] = "manufacturer";
inline constexpr char kProduct[] = "product";
inline constexpr char kSerial[] = "serial";

// The HID device above a hidraw node, and the property of its uevent that names it (see hidid.h).
inline constexpr char kHidSubsystem[] = "hid";
inline constexpr char kHidIdProperty[] = "HID_ID";
inline constexpr char kHidrawSubsystem[] = "hidraw";
inline constexpr char kHidrawPrefix[] = "hidraw";  // "hidraw0"

// A sound card: "card0", with its name for alsa-lib and its number.
inline constexpr char kSoundSubsystem[] = "sound";
inline constexpr char kCardPrefix[] = "card";
inline constexpr char kCardId[] = "id";
inline constexpr char kCardNumber[] = "number";

}  // namespace hid::sysfs
