// libFuzzer target: any bytes as a HID report descriptor. Beyond not crashing and not reading past
// the bytes, a refused descriptor must leave the capabilities as they were, and an accepted one
// must keep its verdict and capabilities when items that say nothing of its first top-level
// collection are added around it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <vector>

#include "hardware/hidreportdescriptor.h"

namespace {

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

constexpr WORD kUntouched = 0xA5A5;

bool SameCaps(const portable::HidCapabilities& a, const portable::HidCapabilities& b) {
    return a.usagePage == b.usagePage && a.usage == b.usage &&
           a.inputReportByteLength == b.inputReportByteLength &&
           a.outputReportByteLength == b.outputReportByteLength &&
           a.featureReportByteLength == b.featureReportByteLength;
}

// The verdict on the bytes; the capabilities start untouched, and a refusal must leave them so.
bool Parse(const std::uint8_t* data, std::size_t size, portable::HidCapabilities* caps) {
    const portable::HidCapabilities untouched = {kUntouched, kUntouched, kUntouched, kUntouched,
                                                 kUntouched};
    *caps = untouched;
    const bool accepted = hardware::ParseReportDescriptor(data, size, caps);
    Require(accepted || SameCaps(*caps, untouched));
    return accepted;
}

// The descriptor with bytes before and after it; each copy is exact, so that a read past its end
// is caught.
std::vector<std::uint8_t> Around(std::initializer_list<std::uint8_t> before,
                                 const std::uint8_t* data, std::size_t size,
                                 std::initializer_list<std::uint8_t> after) {
    std::vector<std::uint8_t> bytes(before);
    bytes.insert(bytes.end(), data, data + size);
    bytes.insert(bytes.end(), after);
    return bytes;
}

void RequireSameVerdict(const std::vector<std::uint8_t>& bytes,
                        const portable::HidCapabilities& expected) {
    portable::HidCapabilities caps;
    Require(Parse(bytes.data(), bytes.size(), &caps));
    Require(SameCaps(caps, expected));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    portable::HidCapabilities caps;
    if (!Parse(data, size, &caps)) {
        return 0;
    }
    // An empty long item before and after: skipped.
    RequireSameVerdict(Around({0xFE, 0x00, 0x10}, data, size, {0xFE, 0x00, 0x10}), caps);
    // A second top-level collection with a report of each kind: not the first one. Its reports
    // are empty, so that whatever the descriptor put in report 7 before stays within bounds.
    RequireSameVerdict(Around({}, data, size,
                              {0x09, 0x01, 0xA1, 0x01, 0x75, 0x08, 0x95, 0x00, 0x85, 0x07, 0x81,
                               0x02, 0x91, 0x02, 0xB1, 0x02, 0xC0}),
                       caps);
    return 0;
}
