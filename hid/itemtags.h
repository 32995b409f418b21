// The items of a HID report descriptor as the HID class definition numbers them: what the virtual
// mixer's descriptor is written with and what the hardware backend's parser reads.
#pragma once

#include <cstdint>

namespace hid {

// A short item's prefix holds its tag in the upper four bits, its type in the next two, and in the
// lowest two how many data bytes follow (0, 1, 2 or 4).
enum class ItemType : std::uint8_t { Main = 0, Global = 1, Local = 2, Reserved = 3 };

namespace main_tag {
inline constexpr std::uint8_t kInput = 0x8;
inline constexpr std::uint8_t kOutput = 0x9;
inline constexpr std::uint8_t kCollection = 0xA;
inline constexpr std::uint8_t kFeature = 0xB;
inline constexpr std::uint8_t kEndCollection = 0xC;
}  // namespace main_tag

namespace global_tag {
inline constexpr std::uint8_t kUsagePage = 0x0;
inline constexpr std::uint8_t kLogicalMinimum = 0x1;
inline constexpr std::uint8_t kLogicalMaximum = 0x2;
inline constexpr std::uint8_t kReportSize = 0x7;
inline constexpr std::uint8_t kReportId = 0x8;
inline constexpr std::uint8_t kReportCount = 0x9;
inline constexpr std::uint8_t kPush = 0xA;
inline constexpr std::uint8_t kPop = 0xB;
}  // namespace global_tag

namespace local_tag {
inline constexpr std::uint8_t kUsage = 0x0;
}  // namespace local_tag

// The prefix of a short item with no size bits yet.
constexpr std::uint8_t ItemPrefix(ItemType type, std::uint8_t tag) {
    return static_cast<std::uint8_t>(tag << 4 | static_cast<std::uint8_t>(type) << 2);
}

}  // namespace hid
